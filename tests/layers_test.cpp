// The layer rule of docs/layers.md, checked on every #include "..." of the program's and the
// library's sources. Lowest first:
//   platform/ -> firmware/core/ -> firmware/measurement/, digital_sensor/, outputs/, settings/ ->
//   firmware/ui/
//   -> firmware/ itself (start-up and main loop, link replies) -> panel/ -> tools/
// A file may include its own layer and the layers below it. sensor_board/ is the other
// deliverable: it builds on platform/ alone, and nothing of the program includes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
// The includes that run up a layer today. The list may only shrink: an entry whose include is
// gone fails the second test until it is taken out.
struct AllowedEdge {
    const char* from;
    const char* to;
    const char* why;
};
const AllowedEdge kAllowedUpEdges[] = {
    {"firmware/core/fmt.cpp", "firmware/measurement/channel.h", "resolution classes by the channel's kind"},
    {"firmware/core/fmt.cpp", "firmware/measurement/slots.h", "the limit rows of a display line's unit"},
    {"firmware/link_reply.cpp", "panel/sim_inputs.h", "the simulated input store (declared: target sim_inputs)"},
    {"firmware/measurement/decoders.cpp", "panel/sim_inputs.h",
     "the simulated input store (declared: target sim_inputs)"},
    {"firmware/measurement/slots.cpp", "firmware/ui/menu.h", "a calibration position pending"},
};

// Headers made at build time, in the layer of the header that includes them.
const char* const kGeneratedHeaders[] = {"lcd_text_names.h"};

constexpr int kBoard = 100;  // sensor_board/: a layer of its own, beside the program's
constexpr int kNoLayer = -1;

int LayerOf(const std::string& path) {
    auto under = [&](const char* folder) { return path.rfind(folder, 0) == 0; };
    if (under("platform/")) return 0;
    if (under("firmware/core/")) return 1;
    if (under("firmware/measurement/") || under("firmware/digital_sensor/") || under("firmware/outputs/") ||
        under("firmware/settings/")) {
        return 2;
    }
    if (under("firmware/ui/")) return 3;
    if (under("firmware/") && path.find('/', 9) == std::string::npos) return 4;
    if (under("panel/")) return 5;
    if (under("tools/")) return 6;
    if (under("sensor_board/")) return kBoard;
    return kNoLayer;
}

bool Allowed(int from, int to) {
    if (from == kBoard) return to == kBoard || to == 0;
    if (to == kBoard) return false;
    return to <= from;
}

struct Include {
    std::string from;  // relative to the source root
    std::string to;    // relative to the source root; "" when it names no file
    std::string written;
};

const fs::path& Root() {
    static const fs::path root = fs::path(KORVI_SOURCE_DIR);
    return root;
}

// Where an include names a file: beside the includer, from the source root, or from firmware/.
std::string Resolve(const fs::path& includer, const std::string& written) {
    for (const fs::path& base : {includer.parent_path(), Root(), Root() / "firmware"}) {
        fs::path candidate = (base / written).lexically_normal();
        if (fs::is_regular_file(candidate)) return candidate.lexically_relative(Root()).generic_string();
    }
    return "";
}

std::vector<Include> AllIncludes() {
    std::vector<Include> includes;
    for (const char* folder : {"platform", "firmware", "panel", "sensor_board", "tools"}) {
        if (!fs::is_directory(Root() / folder)) continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(Root() / folder)) {
            std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h" && extension != ".c")) continue;
            std::string from = entry.path().lexically_relative(Root()).generic_string();
            std::ifstream in(entry.path());
            std::string line;
            while (std::getline(in, line)) {
                size_t hash = line.find_first_not_of(" \t");
                if (hash == std::string::npos || line.compare(hash, 1, "#") != 0) continue;
                size_t word = line.find_first_not_of(" \t", hash + 1);
                if (word == std::string::npos || line.compare(word, 7, "include") != 0) continue;
                size_t open = line.find('"', word + 7);
                size_t close = open == std::string::npos ? open : line.find('"', open + 1);
                if (close == std::string::npos) continue;  // <...>: the standard library and toolkits
                std::string written = line.substr(open + 1, close - open - 1);
                includes.push_back({from, Resolve(entry.path(), written), written});
            }
        }
    }
    return includes;
}

bool IsAllowedEdge(const Include& include) {
    for (const AllowedEdge& edge : kAllowedUpEdges) {
        if (include.from == edge.from && include.to == edge.to) return true;
    }
    return false;
}
}  // namespace

TEST(Layers, NoIncludeRunsUpALayer) {
    std::vector<Include> includes = AllIncludes();
    ASSERT_GT(includes.size(), 300u) << "no sources under " << Root();
    for (const Include& include : includes) {
        if (include.to.empty()) {
            bool generated =
                std::find_if(std::begin(kGeneratedHeaders), std::end(kGeneratedHeaders),
                             [&](const char* h) { return include.written == h; }) != std::end(kGeneratedHeaders);
            EXPECT_TRUE(generated) << include.from << " includes \"" << include.written << "\", which names no file";
            continue;
        }
        int from = LayerOf(include.from);
        int to = LayerOf(include.to);
        ASSERT_NE(from, kNoLayer) << include.from;
        EXPECT_NE(to, kNoLayer) << include.from << " includes " << include.to << ", which is in no layer";
        if (to == kNoLayer || Allowed(from, to)) continue;
        EXPECT_TRUE(IsAllowedEdge(include)) << include.from << " includes " << include.to << ", a layer above it";
    }
}

// Every entry of the list still names an include that runs up a layer; a removed back edge takes
// its entry with it, so the list only shrinks.
TEST(Layers, TheAllowListOnlyShrinks) {
    std::vector<Include> includes = AllIncludes();
    for (const AllowedEdge& edge : kAllowedUpEdges) {
        EXPECT_FALSE(Allowed(LayerOf(edge.from), LayerOf(edge.to)))
            << edge.from << " -> " << edge.to << " is no back edge: take it off the list";
        bool present = std::any_of(includes.begin(), includes.end(), [&](const Include& include) {
            return include.from == edge.from && include.to == edge.to;
        });
        EXPECT_TRUE(present) << edge.from << " no longer includes " << edge.to << ": take it off the list";
    }
}

// The rule itself, on paths of each layer.
TEST(Layers, TheLayersInTheirOrder) {
    EXPECT_TRUE(Allowed(LayerOf("firmware/ui/menu.cpp"), LayerOf("firmware/core/lcd.h")));
    EXPECT_TRUE(Allowed(LayerOf("firmware/measurement/meas.cpp"), LayerOf("firmware/outputs/alarms.h")));
    EXPECT_TRUE(Allowed(LayerOf("firmware/settings/settings_work.cpp"), LayerOf("firmware/outputs/pid.h")));
    EXPECT_FALSE(Allowed(LayerOf("firmware/settings/settings_work.cpp"), LayerOf("firmware/ui/menu.h")));
    EXPECT_TRUE(Allowed(LayerOf("panel/inputs.cpp"), LayerOf("firmware/fw_main.h")));
    EXPECT_FALSE(Allowed(LayerOf("firmware/core/link.cpp"), LayerOf("firmware/measurement/meas.h")));
    EXPECT_FALSE(Allowed(LayerOf("firmware/ui/home.cpp"), LayerOf("firmware/fw_main.h")));
    EXPECT_FALSE(Allowed(LayerOf("firmware/fw_main.cpp"), LayerOf("panel/inputs.h")));
    EXPECT_FALSE(Allowed(LayerOf("platform/plat_clock.cpp"), LayerOf("firmware/core/rtc.h")));
    EXPECT_TRUE(Allowed(LayerOf("sensor_board/board.cpp"), LayerOf("platform/plat.h")));
    EXPECT_FALSE(Allowed(LayerOf("sensor_board/board.cpp"), LayerOf("firmware/core/util.h")));
    EXPECT_FALSE(Allowed(LayerOf("panel/inputs.cpp"), LayerOf("sensor_board/board.h")));
}
