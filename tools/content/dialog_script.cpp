#include "dialog_script.h"

#include <cctype>
#include <cstdio>

namespace sgcontent {

namespace {

// A string literal of the script: quotes doubled.
std::string Quoted(const char* text) {
  std::string quoted = "\"";
  for (const char* c = text ? text : ""; *c; ++c) quoted += *c == '"' ? std::string("\"\"") : std::string(1, *c);
  return quoted + "\"";
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

// "button" as the script names the system's class: "Button".
std::string ClassName(const char* name) {
  std::string script = name ? name : "";
  if (!script.empty()) script[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(script[0])));
  return script;
}

std::string Numbers(std::initializer_list<long> values) {
  std::string text;
  for (long value : values) text += (text.empty() ? "" : ", ") + std::to_string(value);
  return text;
}

}  // namespace

std::string DialogScript(const sgres::DialogTemplate& dialog) {
  std::string script = std::to_string(dialog.id) + " DIALOGEX " +
                       Numbers({dialog.x, dialog.y, dialog.cx, dialog.cy}) + "\n";
  script += "STYLE " + Hex(dialog.style) + "\n";
  script += "CAPTION " + Quoted(dialog.caption) + "\n";
  script += "FONT " + std::to_string(dialog.pointSize) + ", " + Quoted(dialog.fontName) + ", " +
            std::to_string(dialog.weight) + ", 0, 0\n";
  script += "BEGIN\n";
  for (int i = 0; i < dialog.controlCount; ++i) {
    const sgres::DialogControl& control = dialog.controls[i];
    // A bitmap static names its bitmap where the text would go.
    std::string text = control.bitmapId != 0 ? std::to_string(control.bitmapId) : Quoted(control.text);
    script += "  CONTROL " + text + ", " + std::to_string(control.id) + ", " + Quoted(ClassName(control.className).c_str()) +
              ", " + Hex(control.style) + ", " + Numbers({control.x, control.y, control.cx, control.cy}) + "\n";
  }
  script += "END\n";
  return script;
}

}  // namespace sgcontent
