// layout_dump: writes every control table (all_layouts.h) as JSON, for skins/preview.py, so the
// preview composes the windows from the very rows the programs create their controls from.
//
//   layout_dump [output file]      (standard output without one)
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <type_traits>
#include <variant>

#include "settings/utf8.h"
#include "tools/layout_dump/all_layouts.h"

namespace {

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Quoted(const char16_t* text) {
  return Quoted(ToUtf8(text != nullptr ? text : u""));
}

std::string Colour(SkinColour colour) {
  if (colour == kDefaultColour) return "null";
  char text[16];
  std::snprintf(text, sizeof text, "\"#%02x%02x%02x\"", colour & 0xFF, (colour >> 8) & 0xFF,
                (colour >> 16) & 0xFF);
  return text;
}

std::string Bool(bool value) {
  return value ? "true" : "false";
}

std::string Rect(const TableRect& rect) {
  std::ostringstream out;
  out << '[' << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ']';
  return out.str();
}

std::string Image(const ImageFile& image) {
  if (image.Empty()) return "null";
  static const char* const kFolders[] = {"background", "buttons", "controls"};
  std::ostringstream out;
  out << "{\"folder\": \"" << kFolders[static_cast<int>(image.folder)]
      << "\", \"file\": " << Quoted(image.file)
      << ", \"turn\": " << (image.turn == ImageTurn::kQuarter ? 90 : 0) << '}';
  return out.str();
}

std::string Font(const FontSpec& font) {
  std::ostringstream out;
  out << "{\"height\": " << font.height << ", \"weight\": " << font.weight
      << ", \"italic\": " << Bool(font.italic) << '}';
  return out.str();
}

std::string Text(const TextKey& text) {
  if (text.fixed != nullptr) return "{\"fixed\": " + Quoted(text.fixed) + "}";
  if (text.section == nullptr) return "null";
  return "{\"section\": " + Quoted(text.section) + ", \"number\": " + std::to_string(text.number) +
         "}";
}

std::string Style(const ControlStyle& style) {
  static const char* const kCaptions[] = {"none",      "box",        "point",
                                          "rotated90", "rotated270", "left"};
  static const char* const kAligns[] = {"left", "centre", "right", "wrapped"};
  std::ostringstream out;
  std::visit(
      [&](const auto& s) {
        using S = std::decay_t<decltype(s)>;
        if constexpr (std::is_same_v<S, ButtonStyle>) {
          out << "\"kind\": \"button\", \"faces\": [" << Image(s.faces.normal) << ", "
              << Image(s.faces.hover) << ", " << Image(s.faces.pressed) << ", "
              << Image(s.faces.disabled) << "], \"caption\": \""
              << kCaptions[static_cast<int>(s.look.caption)]
              << "\", \"boxInsetRight\": " << s.look.boxInsetRight
              << ", \"pointOffset\": " << s.look.pointOffset << ", \"font\": " << Font(s.look.font)
              << ", \"colours\": [" << Colour(s.look.normalColour) << ", "
              << Colour(s.look.hoverColour) << ", " << Colour(s.look.pressedColour)
              << "], \"toggle\": " << Bool(s.look.toggle)
              << ", \"squareFace\": " << Bool(s.look.squareFace);
        } else if constexpr (std::is_same_v<S, SliderStyle>) {
          out << "\"kind\": \"slider\", \"axis\": \""
              << (s.axis == SliderAxis::kHorizontal ? "horizontal" : "vertical")
              << "\", \"thumb\": " << Image(s.thumb)
              << ", \"disabledThumb\": " << Image(s.disabledThumb)
              << ", \"track\": " << Image(s.track) << ", \"minimum\": " << s.minimum
              << ", \"maximum\": " << s.maximum;
        } else if constexpr (std::is_same_v<S, ListLook>) {
          out << "\"kind\": \"listbox\", \"scrollBar\": " << Bool(s.scrollBar)
              << ", \"selectionMode\": " << Bool(s.selectionMode)
              << ", \"macroListMode\": " << Bool(s.macroListMode)
              << ", \"delayEditing\": " << Bool(s.delayEditing)
              << ", \"rightClickNotify\": " << Bool(s.rightClickNotify)
              << ", \"plainTextLayout\": " << Bool(s.plainTextLayout)
              << ", \"textColour\": " << Colour(s.textColour)
              << ", \"selectedTextColour\": " << Colour(s.selectedTextColour);
        } else if constexpr (std::is_same_v<S, LabelLook>) {
          out << "\"kind\": \"label\", \"align\": \"" << kAligns[static_cast<int>(s.align)]
              << "\", \"font\": " << Font(s.font) << ", \"colour\": " << Colour(s.colour)
              << ", \"background\": "
              << (s.background < 0 ? "null" : Colour(static_cast<SkinColour>(s.background)));
        } else if constexpr (std::is_same_v<S, EditLook>) {
          out << "\"kind\": \"edit\", \"limit\": " << s.limit << ", \"tag\": " << s.tag
              << ", \"border\": " << Bool(s.border)
              << ", \"notifyKeyRelease\": " << Bool(s.notifyKeyRelease)
              << ", \"textColour\": " << Colour(s.textColour)
              << ", \"backgroundColour\": " << Colour(s.backgroundColour)
              << ", \"font\": " << Font(s.font) << ", \"fontFace\": " << Quoted(s.fontFace);
        } else {
          out << "\"kind\": \"marker\", \"background\": " << Image(s.background)
              << ", \"fill\": " << Image(s.fill) << ", \"source\": " << Rect(s.source)
              << ", \"minimum\": " << s.minimum << ", \"maximum\": " << s.maximum;
        }
      },
      style);
  return out.str();
}

std::string Pages(std::uint32_t pages) {
  std::string out = "[";
  for (int page = 1; page < 32; ++page) {
    if ((pages & PageBit(page)) == 0) continue;
    if (out.size() > 1) out += ", ";
    out += std::to_string(page);
  }
  return out + "]";
}

void WriteLayout(std::ostream& out, const WindowLayout& layout) {
  out << "    {\"name\": " << Quoted(layout.name)
      << ", \"background\": " << Image(layout.background) << ", \"mask\": " << Image(layout.mask)
      << ", \"width\": " << layout.width << ", \"height\": " << layout.height
      << ", \"dragByBackground\": " << Bool(layout.dragByBackground) << ",\n     \"controls\": [";
  bool first = true;
  for (const ControlRow& row : layout.controls) {
    out << (first ? "\n" : ",\n") << "      {\"id\": " << row.id
        << ", \"place\": " << Rect(row.place) << ", \"text\": " << Text(row.text)
        << ", \"pages\": " << Pages(row.pages) << ", \"group\": " << row.group
        << ", \"disabled\": " << Bool(row.disabled) << ", \"ticked\": " << Bool(row.ticked)
        << ", \"fillsClient\": " << Bool(row.fillsClient) << ", " << Style(row.style) << '}';
    first = false;
  }
  out << "]}";
}

}  // namespace

int main(int argc, char** argv) {
  std::ostringstream json;
  json << "{\"windows\": [\n";
  bool first = true;
  for (const WindowLayout* layout : kAllLayouts) {
    if (!first) json << ",\n";
    WriteLayout(json, *layout);
    first = false;
  }
  json << "\n]}\n";
  if (argc < 2) {
    std::cout << json.str();
    return 0;
  }
  std::ofstream file(argv[1], std::ios::binary);
  file << json.str();
  return file ? 0 : 1;
}
