// Drawing of the panel's pictures with anti-aliased vector graphics.
#include "panel/artwork.h"

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/pen.h>

#include <memory>

#include "panel/keys.h"
#include "panel/lcd_paint.h"

namespace {

// The picture's own coordinates are relative to its place in the client area.
constexpr int kPictureX = kPanelPictureX;
constexpr int kPictureY = kPanelPictureY;

const char* const kKeyCaptions[kKeyCount] = {"MENU", "CAL", "UP", "INFO", "ENTER"};

// An image of that size, fully transparent, to draw on with alpha.
wxImage TransparentImage(int width, int height) {
    wxImage image(width, height);
    image.InitAlpha();
    unsigned char* alpha = image.GetAlpha();
    for (int i = 0; i < width * height; ++i) alpha[i] = 0;
    return image;
}

wxGraphicsBrush VerticalGradient(wxGraphicsContext* gc, double top, double bottom, const wxColour& from,
                                 const wxColour& to) {
    return gc->CreateLinearGradientBrush(0, top, 0, bottom, from, to);
}

void RoundedBox(wxGraphicsContext* gc, double x, double y, double w, double h, double radius,
                const wxGraphicsBrush& brush, const wxColour& edge, double edgeWidth) {
    gc->SetBrush(brush);
    if (edgeWidth > 0) {
        gc->SetPen(wxPen(edge, static_cast<int>(edgeWidth)));
    } else {
        gc->SetPen(*wxTRANSPARENT_PEN);
    }
    gc->DrawRoundedRectangle(x, y, w, h, radius);
}

void Screw(wxGraphicsContext* gc, double cx, double cy) {
    const double r = 7.0;
    gc->SetPen(wxPen(wxColour(28, 30, 34), 1));
    gc->SetBrush(
        gc->CreateRadialGradientBrush(cx - 2, cy - 2, cx, cy, r, wxColour(214, 218, 224), wxColour(112, 117, 126)));
    gc->DrawEllipse(cx - r, cy - r, 2 * r, 2 * r);
    gc->SetPen(wxPen(wxColour(52, 55, 60), 2));
    gc->StrokeLine(cx - 4.2, cy + 2.4, cx + 4.2, cy - 2.4);
}

void CentredText(wxGraphicsContext* gc, const wxString& text, double cx, double cy) {
    double w = 0, h = 0;
    gc->GetTextExtent(text, &w, &h);
    gc->DrawText(text, cx - w / 2, cy - h / 2);
}

}  // namespace

wxBitmap Panel_DrawPanelPicture(const wxColour& background) {
    wxImage image(kPanelPictureWidth, kPanelPictureHeight);
    image.SetRGB(wxRect(0, 0, kPanelPictureWidth, kPanelPictureHeight), background.Red(), background.Green(),
                 background.Blue());
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (!gc) return wxBitmap(image);
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);

    // Housing and its bevel.
    RoundedBox(gc.get(), 2, 2, 496, 495, 24,
               VerticalGradient(gc.get(), 2, 497, wxColour(86, 91, 100), wxColour(44, 47, 53)), wxColour(24, 26, 30),
               2);
    gc->SetBrush(*wxTRANSPARENT_BRUSH);
    gc->SetPen(wxPen(wxColour(128, 134, 144, 140), 1));
    gc->DrawRoundedRectangle(5, 5, 490, 489, 21);
    Screw(gc.get(), 21, 21);
    Screw(gc.get(), 479, 21);
    Screw(gc.get(), 21, 478);
    Screw(gc.get(), 479, 478);

    // Front plate.
    RoundedBox(gc.get(), 38, 34, 424, 432, 14,
               VerticalGradient(gc.get(), 34, 466, wxColour(66, 70, 78), wxColour(52, 56, 62)), wxColour(32, 34, 39),
               1);
    gc->SetPen(wxPen(wxColour(104, 110, 120, 120), 1));
    gc->StrokeLine(52, 35, 448, 35);

    // Name plate.
    gc->SetFont(wxFont(wxFontInfo(wxSize(0, 19)).Family(wxFONTFAMILY_SWISS).Bold()), wxColour(228, 231, 236));
    gc->DrawText("R718G", 68, 46);
    gc->SetFont(wxFont(wxFontInfo(wxSize(0, 11)).Family(wxFONTFAMILY_SWISS)), wxColour(172, 178, 188));
    double w = 0, h = 0;
    gc->GetTextExtent("2-CHANNEL TRANSMITTER", &w, &h);
    gc->DrawText("2-CHANNEL TRANSMITTER", 432 - w, 52);
    gc->SetPen(wxPen(wxColour(122, 170, 214), 2));
    gc->StrokeLine(68, 70, 150, 70);

    // Display window: a black bezel around the glass, which the display painting covers.
    const double lcdX = kLcdImageX - kPictureX;
    const double lcdY = kLcdImageY - kPictureY;
    RoundedBox(
        gc.get(), lcdX - 12, lcdY - 12, kLcdImageWidth + 24, kLcdImageHeight + 24, 10,
        VerticalGradient(gc.get(), lcdY - 12, lcdY + kLcdImageHeight + 12, wxColour(16, 17, 20), wxColour(34, 36, 40)),
        wxColour(104, 110, 120), 1);
    RoundedBox(gc.get(), lcdX - 5, lcdY - 5, kLcdImageWidth + 10, kLcdImageHeight + 10, 5,
               gc->CreateBrush(wxBrush(wxColour(12, 13, 15))), wxColour(8, 8, 10), 1);
    gc->SetBrush(gc->CreateBrush(wxBrush(wxColour(183, 216, 189))));
    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->DrawRectangle(lcdX, lcdY, kLcdImageWidth, kLcdImageHeight);

    // Key field: a recessed strip the five keys sit in.
    const double keysTop = kKeyHitFromY - kPictureY;
    const double keysLeft = g_KeyAreas[0].buttonX - kPictureX;
    const KeyArea& last = g_KeyAreas[kKeyCount - 1];
    const double keysRight = last.buttonX + last.buttonWidth - kPictureX;
    RoundedBox(gc.get(), keysLeft - 9, keysTop - 9, keysRight - keysLeft + 18, 60 + 18, 10,
               VerticalGradient(gc.get(), keysTop - 9, keysTop + 69, wxColour(34, 36, 41), wxColour(46, 49, 55)),
               wxColour(104, 110, 120), 1);

    // Ranges printed under the keys.
    gc->SetFont(wxFont(wxFontInfo(wxSize(0, 11)).Family(wxFONTFAMILY_SWISS)), wxColour(160, 166, 176));
    CentredText(gc.get(), wxString::FromUTF8("pH / ORP   \u00b7   CONDUCTIVITY   \u00b7   OXYGEN"), 250, keysTop + 88);
    gc.reset();
    return wxBitmap(image);
}

wxBitmap Panel_DrawKeyImage(int key, bool pressed) {
    const KeyArea& area = g_KeyAreas[key];
    const int width = area.buttonWidth;
    const int height = area.buttonHeight;
    wxImage image = TransparentImage(width, height);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (!gc) return wxBitmap(image);
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);

    // A drop shadow under a raised key; a pushed key sits on it.
    if (!pressed) {
        gc->SetPen(*wxTRANSPARENT_PEN);
        gc->SetBrush(gc->CreateBrush(wxBrush(wxColour(10, 10, 12, 150))));
        gc->DrawRoundedRectangle(2, 3, width - 3, height - 3, 8);
    }
    const double offset = pressed ? 1.5 : 0.0;
    wxColour top = pressed ? wxColour(168, 174, 182) : wxColour(240, 242, 245);
    wxColour bottom = pressed ? wxColour(196, 201, 208) : wxColour(192, 197, 204);
    RoundedBox(gc.get(), 1 + offset, 1 + offset, width - 4, height - 5, 8,
               VerticalGradient(gc.get(), 1 + offset, height - 4 + offset, top, bottom),
               pressed ? wxColour(78, 82, 90) : wxColour(104, 108, 116), 1);
    if (!pressed) {
        gc->SetPen(wxPen(wxColour(255, 255, 255, 170), 1));
        gc->StrokeLine(9, 2.5, width - 12, 2.5);
    }

    wxColour ink(36, 39, 44);
    double cx = (width - 3) / 2.0 + offset;
    double cy = (height - 4) / 2.0 + offset;
    gc->SetFont(wxFont(wxFontInfo(wxSize(0, 11)).Family(wxFONTFAMILY_SWISS).Bold()), ink);
    if (area.code == 2) {
        // UP carries its arrow above the caption.
        wxGraphicsPath arrow = gc->CreatePath();
        arrow.MoveToPoint(cx, cy - 15);
        arrow.AddLineToPoint(cx + 8, cy - 4);
        arrow.AddLineToPoint(cx - 8, cy - 4);
        arrow.CloseSubpath();
        gc->SetPen(*wxTRANSPARENT_PEN);
        gc->SetBrush(gc->CreateBrush(wxBrush(ink)));
        gc->FillPath(arrow);
        CentredText(gc.get(), kKeyCaptions[key], cx, cy + 9);
    } else {
        CentredText(gc.get(), kKeyCaptions[key], cx, cy);
    }
    gc.reset();
    return wxBitmap(image);
}

wxImage Panel_DrawKeyCursorImage() {
    wxImage image = TransparentImage(32, 32);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (gc) {
        gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
        // A hand pointing up with its index finger; the fingertip is the hot spot.
        wxGraphicsPath hand = gc->CreatePath();
        hand.MoveToPoint(10, 14);
        hand.AddLineToPoint(10, 4);
        hand.AddArcToPoint(10, 1, 13, 1, 3);
        hand.AddArcToPoint(16, 1, 16, 4, 3);
        hand.AddLineToPoint(16, 12);
        hand.AddArcToPoint(16, 10, 18.5, 10, 2.5);
        hand.AddArcToPoint(21, 10, 21, 12.5, 2.5);
        hand.AddLineToPoint(21, 14);
        hand.AddArcToPoint(21, 12, 23.5, 12, 2.5);
        hand.AddArcToPoint(26, 12, 26, 14.5, 2.5);
        hand.AddLineToPoint(26, 16);
        hand.AddArcToPoint(26, 14, 28, 14, 2);
        hand.AddArcToPoint(30, 14, 30, 16, 2);
        hand.AddLineToPoint(30, 23);
        hand.AddArcToPoint(30, 30, 23, 30, 6);
        hand.AddLineToPoint(15, 30);
        hand.AddArcToPoint(11, 30, 9, 27, 4);
        hand.AddLineToPoint(3, 19);
        hand.AddArcToPoint(1.5, 16.5, 4, 15.5, 2.5);
        hand.AddArcToPoint(6.5, 14.5, 8, 17, 2.5);
        hand.AddLineToPoint(10, 19);
        hand.CloseSubpath();
        gc->SetBrush(gc->CreateBrush(wxBrush(wxColour(255, 255, 255))));
        gc->SetPen(wxPen(wxColour(0, 0, 0), 1));
        gc->DrawPath(hand);
        gc->StrokeLine(16, 14, 16, 19);
        gc->StrokeLine(21, 15, 21, 19);
        gc->StrokeLine(26, 17, 26, 20);
        gc.reset();
    }
    image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_X, 13);
    image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_Y, 1);
    return image;
}

wxCursor Panel_MakeKeyCursor() { return wxCursor(Panel_DrawKeyCursorImage()); }

static wxIcon IconOfSize(int size) {
    wxImage image = TransparentImage(size, size);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (gc) {
        gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
        double s = size / 32.0;
        RoundedBox(gc.get(), 1 * s, 1 * s, 30 * s, 30 * s, 5 * s,
                   VerticalGradient(gc.get(), 0, size, wxColour(90, 95, 104), wxColour(44, 47, 53)),
                   wxColour(24, 26, 30), 1);
        gc->SetPen(*wxTRANSPARENT_PEN);
        gc->SetBrush(gc->CreateBrush(wxBrush(wxColour(14, 15, 18))));
        gc->DrawRoundedRectangle(4 * s, 5 * s, 24 * s, 16 * s, 2 * s);
        gc->SetBrush(gc->CreateBrush(wxBrush(wxColour(183, 216, 189))));
        gc->DrawRectangle(6 * s, 7 * s, 20 * s, 12 * s);
        gc->SetBrush(gc->CreateBrush(wxBrush(wxColour(30, 32, 36))));
        gc->DrawRectangle(8 * s, 10 * s, 10 * s, 2 * s);
        gc->DrawRectangle(8 * s, 14 * s, 14 * s, 2 * s);
        gc->SetBrush(gc->CreateBrush(wxBrush(wxColour(222, 225, 230))));
        for (int i = 0; i < 5; ++i) gc->DrawRoundedRectangle((4.5 + i * 4.9) * s, 24 * s, 3.8 * s, 4 * s, 1 * s);
        gc.reset();
    }
    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(image));
    return icon;
}

wxIconBundle Panel_MakeIcon() {
    wxIconBundle bundle;
    bundle.AddIcon(IconOfSize(16));
    bundle.AddIcon(IconOfSize(32));
    bundle.AddIcon(IconOfSize(48));
    return bundle;
}
