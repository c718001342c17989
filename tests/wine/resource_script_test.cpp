// A smoke check of the Windows executable's resources: windres accepts
// resources/stormglass.rc with the dialog script the build writes from the
// table, and the .res holds dialog 149 and one bitmap for each id of
// resources/bitmaps.list.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

TEST(ResourceScript, WindresAcceptsTheScriptWithTheDialogAndEveryListedBitmap) {
  REQUIRE_WINDRES();
  std::vector<Resource> resources;
  ASSERT_TRUE(Compile(RESOURCE_SCRIPT, resources));
  const Resource* dialog = Find(resources, kTypeDialog, 149);
  ASSERT_NE(dialog, nullptr);
  // An extended template (version 1, signature 0xFFFF) with the table's controls.
  ByteReader in{dialog->data, 0};
  EXPECT_EQ(in.Word(), 1);
  EXPECT_EQ(in.Word(), 0xFFFF);
  in.at = 16;
  EXPECT_EQ(in.Word(), kSetupDialogTemplate.controlCount);
  std::ifstream list(BITMAP_LIST);
  size_t listed = 0;
  for (std::string line; std::getline(list, line);) {
    std::istringstream fields(line);
    int id = 0;
    if (!(fields >> id)) continue;
    ++listed;
    EXPECT_NE(Find(resources, kTypeBitmap, static_cast<uint16_t>(id)), nullptr) << id;
  }
  EXPECT_EQ(listed, 22u);
}

}  // namespace
