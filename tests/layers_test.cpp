// The layer rule of docs/layers.md, checked on every #include "..." of the program's and the
// library's sources. Lowest first:
//   platform/ and sim/ -> firmware/core/ -> firmware/measurement/, digital_sensor/, outputs/,
//   settings/ -> firmware/ui/ -> firmware/ itself (start-up and main loop, link replies) -> panel/
//   -> tools/
// A file may include its own layer and the layers below it; no include runs up a layer. sim/, the
// simulated world the firmware runs in, stands beside platform/: it includes neither the host
// layer nor anything above, and platform/ does not include it. sensor_board/ is the other
// deliverable: it builds on platform/ alone, and nothing of the program includes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
// Headers made at build time, in the layer of the header that includes them.
const char* const kGeneratedHeaders[] = {"lcd_text_names.h"};

constexpr int kBoard = 100;  // sensor_board/: a layer of its own, beside the program's
constexpr int kSim = 101;    // sim/: beside platform/, below the firmware
constexpr int kNoLayer = -1;

int LayerOf(const std::string& path) {
    auto under = [&](const char* folder) { return path.rfind(folder, 0) == 0; };
    if (under("platform/")) return 0;
    if (under("sim/")) return kSim;
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
    if (from == kSim) return to == kSim;
    if (to == kSim) return from >= 1;
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
    for (const char* folder : {"platform", "sim", "firmware", "panel", "sensor_board", "tools"}) {
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

// What breaks the rule: an include that names no file (other than a generated header), a file
// in no layer, or an include that runs up a layer. One line each.
std::vector<std::string> Faults(const std::vector<Include>& includes) {
    std::vector<std::string> faults;
    for (const Include& include : includes) {
        if (include.to.empty()) {
            bool generated =
                std::find_if(std::begin(kGeneratedHeaders), std::end(kGeneratedHeaders),
                             [&](const char* h) { return include.written == h; }) != std::end(kGeneratedHeaders);
            if (!generated)
                faults.push_back(include.from + " includes \"" + include.written + "\", which names no file");
            continue;
        }
        int from = LayerOf(include.from);
        int to = LayerOf(include.to);
        if (from == kNoLayer) {
            faults.push_back(include.from + " is in no layer");
        } else if (to == kNoLayer) {
            faults.push_back(include.from + " includes " + include.to + ", which is in no layer");
        } else if (!Allowed(from, to)) {
            faults.push_back(include.from + " includes " + include.to + ", against the layer order");
        }
    }
    return faults;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}
}  // namespace

TEST(Layers, NoIncludeRunsUpALayer) {
    std::vector<Include> includes = AllIncludes();
    ASSERT_GT(includes.size(), 300u) << "no sources under " << Root();
    std::vector<std::string> faults = Faults(includes);
    EXPECT_TRUE(faults.empty()) << Lines(faults);
}

// The check finds what it is there to find: includes made up for it, each against the rule.
TEST(Layers, AnIncludeUpALayerIsFound) {
    const std::vector<Include> madeUp = {
        {"firmware/core/fmt.cpp", "firmware/measurement/slots.h", "measurement/slots.h"},
        {"firmware/measurement/slots.cpp", "firmware/ui/menu.h", "ui/menu.h"},
        {"firmware/measurement/decoders.cpp", "panel/inputs.h", "panel/inputs.h"},
        {"sim/sim_inputs.cpp", "platform/plat.h", "platform/plat.h"},
        {"platform/plat.cpp", "sim/sim_inputs.h", "sim/sim_inputs.h"},
        {"sensor_board/board.cpp", "sim/sim_inputs.h", "sim/sim_inputs.h"},
        {"firmware/ui/home.cpp", "", "nowhere.h"},
        {"docs/example.cpp", "platform/plat.h", "platform/plat.h"},
        // Within the rule: a layer's own and the layers below it.
        {"firmware/measurement/decoders.cpp", "sim/sim_inputs.h", "sim/sim_inputs.h"},
        {"panel/inputs.cpp", "sim/sim_inputs.h", "sim/sim_inputs.h"},
        {"firmware/ui/home.cpp", "", "lcd_text_names.h"},
    };
    EXPECT_EQ(Lines(Faults(madeUp)),
              "firmware/core/fmt.cpp includes firmware/measurement/slots.h, against the layer order\n"
              "firmware/measurement/slots.cpp includes firmware/ui/menu.h, against the layer order\n"
              "firmware/measurement/decoders.cpp includes panel/inputs.h, against the layer order\n"
              "sim/sim_inputs.cpp includes platform/plat.h, against the layer order\n"
              "platform/plat.cpp includes sim/sim_inputs.h, against the layer order\n"
              "sensor_board/board.cpp includes sim/sim_inputs.h, against the layer order\n"
              "firmware/ui/home.cpp includes \"nowhere.h\", which names no file\n"
              "docs/example.cpp is in no layer\n");
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
