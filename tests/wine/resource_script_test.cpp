// The Windows executable's resources as the resource compiler builds them:
// resources/stormglass.rc compiled by windres to a .res file, whose dialog
// template 149 must say exactly what the table of the other hosts says
// (resources/setup_dialog.cpp), and whose bitmaps must be the 22 of
// resources/bitmaps.list, each a 24-bit uncompressed bitmap of its size.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "resources/setup_dialog.h"
#include "win32.h"

namespace {

// ---- Reading a .res file ----

struct ByteReader {
  const std::vector<uint8_t>& bytes;
  size_t at;
  bool ok = true;

  bool Has(size_t n) const { return at <= bytes.size() && n <= bytes.size() - at; }
  uint16_t Word() {
    if (!Has(2)) return Fail<uint16_t>();
    uint16_t value = static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
    at += 2;
    return value;
  }
  uint32_t Dword() {
    uint32_t low = Word();
    return low | (uint32_t{Word()} << 16);
  }
  void AlignDword() { at = (at + 3) & ~size_t{3}; }
  template <typename T>
  T Fail() {
    ok = false;
    at = bytes.size();
    return T{};
  }
};

// A name or ordinal field: 0xFFFF then a number, or a zero-terminated UTF-16
// string (ASCII here), or a single 0 for none.
struct NameOrOrdinal {
  bool isOrdinal = false;
  uint16_t ordinal = 0;
  std::string name;
};

NameOrOrdinal ReadNameOrOrdinal(ByteReader& in) {
  NameOrOrdinal result;
  uint16_t first = in.Word();
  if (first == 0xFFFF) {
    result.isOrdinal = true;
    result.ordinal = in.Word();
    return result;
  }
  for (uint16_t c = first; c != 0 && in.ok; c = in.Word()) result.name += static_cast<char>(c < 0x80 ? c : '?');
  return result;
}

struct Resource {
  NameOrOrdinal type;
  NameOrOrdinal name;
  std::vector<uint8_t> data;
};

bool ReadResFile(const std::vector<uint8_t>& bytes, std::vector<Resource>& out) {
  ByteReader in{bytes, 0};
  while (in.ok && in.at < bytes.size()) {
    size_t start = in.at;
    uint32_t dataSize = in.Dword();
    uint32_t headerSize = in.Dword();
    Resource resource;
    resource.type = ReadNameOrOrdinal(in);
    resource.name = ReadNameOrOrdinal(in);
    if (!in.ok || headerSize < 8 || !ByteReader{bytes, start}.Has(size_t{headerSize} + dataSize)) return false;
    in.at = start + headerSize;
    resource.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(in.at),
                         bytes.begin() + static_cast<std::ptrdiff_t>(in.at + dataSize));
    in.at += dataSize;
    in.AlignDword();
    if (dataSize > 0) out.push_back(std::move(resource));
  }
  return in.ok;
}

// ---- The dialog template, as an extended template ----

struct Control {
  uint32_t exStyle = 0, style = 0, id = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrdinal windowClass, text;
};

struct Dialog {
  uint32_t exStyle = 0, style = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrdinal menu, windowClass;
  std::string caption;
  uint16_t pointSize = 0, weight = 0;
  uint8_t italic = 0, charset = 0;
  std::string font;
  std::vector<Control> controls;
};

bool ReadDialogEx(const std::vector<uint8_t>& bytes, Dialog& dialog) {
  ByteReader in{bytes, 0};
  if (in.Word() != 1 || in.Word() != 0xFFFF) return false;  // version 1, extended signature
  in.Dword();                                              // help id
  dialog.exStyle = in.Dword();
  dialog.style = in.Dword();
  uint16_t count = in.Word();
  dialog.x = static_cast<int16_t>(in.Word());
  dialog.y = static_cast<int16_t>(in.Word());
  dialog.cx = static_cast<int16_t>(in.Word());
  dialog.cy = static_cast<int16_t>(in.Word());
  dialog.menu = ReadNameOrOrdinal(in);
  dialog.windowClass = ReadNameOrOrdinal(in);
  dialog.caption = ReadNameOrOrdinal(in).name;
  if (dialog.style & DS_SETFONT) {
    dialog.pointSize = in.Word();
    dialog.weight = in.Word();
    uint16_t italicAndCharset = in.Word();
    dialog.italic = static_cast<uint8_t>(italicAndCharset & 0xFF);
    dialog.charset = static_cast<uint8_t>(italicAndCharset >> 8);
    dialog.font = ReadNameOrOrdinal(in).name;
  }
  for (uint16_t i = 0; i < count && in.ok; ++i) {
    in.AlignDword();
    Control control;
    in.Dword();  // help id
    control.exStyle = in.Dword();
    control.style = in.Dword();
    control.x = static_cast<int16_t>(in.Word());
    control.y = static_cast<int16_t>(in.Word());
    control.cx = static_cast<int16_t>(in.Word());
    control.cy = static_cast<int16_t>(in.Word());
    control.id = in.Dword();
    control.windowClass = ReadNameOrOrdinal(in);
    control.text = ReadNameOrOrdinal(in);
    uint16_t extra = in.Word();
    in.at += extra;
    dialog.controls.push_back(control);
  }
  return in.ok && dialog.controls.size() == count;
}

// The predefined window classes a template names by number.
std::string ClassName(const NameOrOrdinal& windowClass) {
  if (!windowClass.isOrdinal) {
    std::string lower;
    for (char c : windowClass.name) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower;
  }
  switch (windowClass.ordinal) {
    case 0x80:
      return "button";
    case 0x81:
      return "edit";
    case 0x82:
      return "static";
    default:
      return "#" + std::to_string(windowClass.ordinal);
  }
}

// Every way the compiled template differs from the table, one line each.
std::vector<std::string> Differences(const Dialog& dialog, const sgres::DialogTemplate& table) {
  std::vector<std::string> out;
  auto check = [&out](bool same, const std::string& what) {
    if (!same) out.push_back(what);
  };
  check(dialog.style == table.style, "dialog style");
  check(dialog.exStyle == 0, "dialog extended style");
  check(dialog.x == table.x && dialog.y == table.y && dialog.cx == table.cx && dialog.cy == table.cy,
        "dialog rectangle");
  check(!dialog.menu.isOrdinal && dialog.menu.name.empty(), "dialog menu");
  check(!dialog.windowClass.isOrdinal && dialog.windowClass.name.empty(), "dialog class");
  check(dialog.caption == table.caption, "caption \"" + dialog.caption + "\"");
  check(dialog.font == table.fontName, "font \"" + dialog.font + "\"");
  check(dialog.pointSize == table.pointSize, "point size");
  check(dialog.weight == table.weight, "font weight");
  check(dialog.italic == 0 && dialog.charset == 0, "italic or character set");
  check(dialog.controls.size() == static_cast<size_t>(table.controlCount), "control count");
  for (size_t i = 0; i < dialog.controls.size() && i < static_cast<size_t>(table.controlCount); ++i) {
    const Control& got = dialog.controls[i];
    const sgres::DialogControl& want = table.controls[i];
    std::string name = "control " + std::to_string(i + 1) + " ";
    check(got.id == static_cast<uint32_t>(want.id), name + "id");
    check(ClassName(got.windowClass) == want.className, name + "class " + ClassName(got.windowClass));
    check(got.style == (WS_CHILD | WS_VISIBLE | want.style), name + "style");
    check(got.exStyle == 0, name + "extended style");
    check(got.x == want.x && got.y == want.y && got.cx == want.cx && got.cy == want.cy, name + "rectangle");
    if (want.bitmapId != 0) {
      check(got.text.isOrdinal && got.text.ordinal == want.bitmapId, name + "picture");
    } else {
      check(!got.text.isOrdinal && got.text.name == (want.text ? want.text : ""), name + "text \"" + got.text.name + "\"");
    }
  }
  return out;
}

// ---- Running windres ----

// A fresh folder for this process, removed with what is in it at exit (the
// name is never destroyed, so the exit handler can still read it).
const std::string& TempDir() {
  static const std::string* dir = [] {
    static char pattern[] = "/tmp/stormglass-rc-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return new std::string("/tmp");
    std::atexit([] { std::filesystem::remove_all(pattern); });
    return new std::string(pattern);
  }();
  return *dir;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool WindresAvailable() {
  std::string windres = WINDRES_PROGRAM;
  return !windres.empty() && windres.find("NOTFOUND") == std::string::npos;
}

// Compiles `script` (its includes found beside the bitmaps) to a .res file
// and reads its resources.
bool Compile(const std::string& script, std::vector<Resource>& resources) {
  std::string res = TempDir() + "/out.res";
  std::remove(res.c_str());
  std::string command = std::string("'") + WINDRES_PROGRAM + "' -I '" + BITMAP_DIR + "' '" + script +
                        "' -O res -o '" + res + "' 2>&1";
  if (std::system(command.c_str()) != 0) return false;
  return ReadResFile(ReadFile(res), resources);
}

const Resource* Find(const std::vector<Resource>& resources, uint16_t type, uint16_t id) {
  for (const Resource& r : resources) {
    if (r.type.isOrdinal && r.type.ordinal == type && r.name.isOrdinal && r.name.ordinal == id) return &r;
  }
  return nullptr;
}

constexpr uint16_t kTypeBitmap = 2;
constexpr uint16_t kTypeDialog = 5;

#define REQUIRE_WINDRES() \
  if (!WindresAvailable()) GTEST_SKIP() << "i686-w64-mingw32-windres is not installed"

TEST(ResourceScript, TheDialogIsTheTablesDialog) {
  REQUIRE_WINDRES();
  std::vector<Resource> resources;
  ASSERT_TRUE(Compile(RESOURCE_SCRIPT, resources));
  const Resource* dialogResource = Find(resources, kTypeDialog, 149);
  ASSERT_NE(dialogResource, nullptr);
  Dialog dialog;
  ASSERT_TRUE(ReadDialogEx(dialogResource->data, dialog));
  std::vector<std::string> differences = Differences(dialog, kSetupDialogTemplate);
  for (const std::string& line : differences) ADD_FAILURE() << line;
  EXPECT_EQ(dialog.controls.size(), 11u);
}

TEST(ResourceScript, AChangedControlIsCaught) {
  REQUIRE_WINDRES();
  std::ifstream in(RESOURCE_SCRIPT);
  std::stringstream text;
  text << in.rdbuf();
  std::string script = text.str();
  // GO! one dialog unit taller, and the fullscreen box's label renamed.
  const std::string go = "17, 129, 58, 14";
  const std::string label = "\"Sure\"";
  ASSERT_NE(script.find(go), std::string::npos);
  ASSERT_NE(script.find(label), std::string::npos);
  script.replace(script.find(go), go.size(), "17, 129, 58, 15");
  script.replace(script.find(label), label.size(), "\"Sure!\"");
  std::string changed = TempDir() + "/changed.rc";
  std::ofstream(changed) << script;
  std::vector<Resource> resources;
  ASSERT_TRUE(Compile(changed, resources));
  const Resource* dialogResource = Find(resources, kTypeDialog, 149);
  ASSERT_NE(dialogResource, nullptr);
  Dialog dialog;
  ASSERT_TRUE(ReadDialogEx(dialogResource->data, dialog));
  std::vector<std::string> differences = Differences(dialog, kSetupDialogTemplate);
  ASSERT_EQ(differences.size(), 2u);
  EXPECT_EQ(differences[0], "control 1 rectangle");
  EXPECT_EQ(differences[1], "control 9 text \"Sure!\"");
}

TEST(ResourceScript, HoldsEveryListedBitmapAs24BitRows) {
  REQUIRE_WINDRES();
  std::vector<Resource> resources;
  ASSERT_TRUE(Compile(RESOURCE_SCRIPT, resources));
  std::ifstream list(BITMAP_LIST);
  std::map<int, std::pair<int, int>> sizes;
  for (std::string line; std::getline(list, line);) {
    std::istringstream fields(line);
    int id = 0, width = 0, height = 0;
    std::string file;
    if (fields >> id >> file >> width >> height) sizes[id] = {width, height};
  }
  ASSERT_EQ(sizes.size(), 22u);
  size_t bitmaps = 0;
  for (const Resource& r : resources) bitmaps += r.type.isOrdinal && r.type.ordinal == kTypeBitmap;
  EXPECT_EQ(bitmaps, sizes.size());
  for (const auto& [id, size] : sizes) {
    const Resource* bitmap = Find(resources, kTypeBitmap, static_cast<uint16_t>(id));
    ASSERT_NE(bitmap, nullptr) << id;
    ByteReader in{bitmap->data, 0};
    uint32_t headerSize = in.Dword();
    int32_t width = static_cast<int32_t>(in.Dword());
    int32_t height = static_cast<int32_t>(in.Dword());
    uint16_t planes = in.Word();
    uint16_t bits = in.Word();
    uint32_t compression = in.Dword();
    ASSERT_TRUE(in.ok) << id;
    EXPECT_GE(headerSize, 40u) << id;
    EXPECT_EQ(width, size.first) << id;
    EXPECT_EQ(std::abs(height), size.second) << id;
    EXPECT_EQ(planes, 1) << id;
    EXPECT_EQ(bits, 24) << id;
    EXPECT_EQ(compression, 0u) << id;
    size_t rowBytes = (static_cast<size_t>(size.first) * 3 + 3) & ~size_t{3};
    EXPECT_GE(bitmap->data.size(), headerSize + rowBytes * static_cast<size_t>(size.second)) << id;
  }
}

}  // namespace
