// Key names for scripted input ("Esc", "F1", "A", ...), case-insensitive.
#include <cctype>

#include "host.h"

namespace {

struct NamedKey {
  const char* name;
  int virtualKey;
};

const NamedKey kNamedKeys[] = {
    {"esc", VK_ESCAPE},     {"escape", VK_ESCAPE},   {"space", VK_SPACE},   {"enter", VK_RETURN},
    {"return", VK_RETURN},  {"tab", VK_TAB},         {"backspace", VK_BACK}, {"left", VK_LEFT},
    {"right", VK_RIGHT},    {"up", VK_UP},           {"down", VK_DOWN},     {"home", VK_HOME},
    {"end", VK_END},        {"pageup", VK_PRIOR},    {"pagedown", VK_NEXT}, {"insert", VK_INSERT},
    {"delete", VK_DELETE},  {"shift", VK_SHIFT},     {"ctrl", VK_CONTROL},  {"control", VK_CONTROL},
    {"alt", VK_MENU},       {"pause", VK_PAUSE},     {"capslock", VK_CAPITAL},
};

std::string Lower(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// "F1".."F12"; 0 for anything else.
int FunctionKey(const std::string& lower) {
  if (lower.size() < 2 || lower.size() > 3 || lower[0] != 'f') return 0;
  int number = 0;
  for (size_t i = 1; i < lower.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(lower[i]))) return 0;
    number = number * 10 + (lower[i] - '0');
  }
  return (number >= 1 && number <= 12) ? VK_F1 + number - 1 : 0;
}

}  // namespace

namespace host {

int VirtualKeyFromName(const std::string& name) {
  if (name.size() == 1) {
    unsigned char c = static_cast<unsigned char>(name[0]);
    if (std::isalpha(c)) return std::toupper(c);
    if (std::isdigit(c)) return c;
    return 0;
  }
  std::string lower = Lower(name);
  for (const NamedKey& key : kNamedKeys) {
    if (lower == key.name) return key.virtualKey;
  }
  return FunctionKey(lower);
}

}  // namespace host
