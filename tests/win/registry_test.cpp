// The registry object model against the registry of the test prefix.
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <string>

#include "xtl/registry.h"

namespace {

using namespace xtl::registry;

const char kBase[] = "Software\\VerivirRegistryTest";

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, kBase); }
  void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, kBase); }

  static void Put(const std::string& sub, const char* name, DWORD type, const void* data,
                  DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kBase) + sub).c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  static bool Exists(const std::string& sub) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kBase) + sub).c_str(), 0, KEY_READ, &key))
      return false;
    RegCloseKey(key);
    return true;
  }
  current_user root;
};

TEST_F(Registry, MissingKeyIsNotFoundAndLeavesVariables) {
  DWORD number = 77;
  bool flag = true;
  registry_key key(std::string(kBase) + "\\Missing");
  key.add("Number", number);
  key.add("Flag", flag);
  EXPECT_EQ(key.load(root), not_found);
  EXPECT_EQ(number, 77u);
  EXPECT_TRUE(flag);
}

TEST_F(Registry, FirstMissingValueStopsTheListAndTheSubkeys) {
  DWORD second = 9, inSub = 9, missing = 5, stored = 42;
  Put("", "Second", REG_DWORD, &stored, 4);
  Put("\\Sub", "Inner", REG_DWORD, &stored, 4);
  registry_key key(kBase);
  key.add("Missing", missing);
  key.add("Second", second);
  key.add_key("Sub").add("Inner", inSub);
  EXPECT_EQ(key.load(root), not_found);
  EXPECT_EQ(missing, 5u);
  EXPECT_EQ(second, 9u);
  EXPECT_EQ(inSub, 9u);
}

// Values are read by the type they were stored with (the decoding itself is
// tested window-free); one that gives no such value fails and leaves its variable.
TEST_F(Registry, ValuesAreReadByTheTypeTheyWereStoredWith) {
  const DWORD one = 1;
  Put("", "Dword", REG_DWORD, &one, 4);
  Put("", "Digits", REG_SZ, "17", 3);
  Put("", "Word", REG_SZ, "ABC", 4);
  DWORD digits = 0, untouched = 99;
  bool flag = false;
  registry_key key(kBase);
  key.add("Digits", digits);
  key.add("Dword", flag);
  EXPECT_EQ(key.load(root), success);
  EXPECT_EQ(digits, 17u);
  EXPECT_TRUE(flag) << "a number read as a flag";
  registry_key bad(kBase);
  bad.add("Word", untouched);
  EXPECT_EQ(bad.load(root), failed);
  EXPECT_EQ(untouched, 99u);
}

TEST_F(Registry, StoreWritesBinaryOfTheVariableSizeAndLoadsBack) {
  DWORD number = 0xCAFE;
  bool flag = true;
  registry_key key(kBase);
  key.add("Number", number);
  key.add("Flag", flag);
  key.add_key("Child");
  EXPECT_EQ(key.store(root), success);
  EXPECT_TRUE(Exists("\\Child"));

  HKEY raw;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kBase, 0, KEY_READ, &raw), ERROR_SUCCESS);
  unsigned char buffer[8] = {};
  DWORD type = 0, size = sizeof buffer;
  EXPECT_EQ(RegQueryValueExA(raw, "Flag", nullptr, &type, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(size, 1u);
  size = sizeof buffer;
  EXPECT_EQ(RegQueryValueExA(raw, "Number", nullptr, &type, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(buffer[0], 0xFE);
  EXPECT_EQ(buffer[1], 0xCA);
  RegCloseKey(raw);

  DWORD readNumber = 0;
  bool readFlag = false;
  registry_key again(kBase);
  again.add("Number", readNumber);
  again.add("Flag", readFlag);
  EXPECT_EQ(again.load(root), success);
  EXPECT_EQ(readNumber, 0xCAFEu);
  EXPECT_TRUE(readFlag);
}

TEST_F(Registry, EnumerateAppendsEveryCallAndWalksTheSubtree) {
  DWORD v = 0;
  Put("\\A\\Deep", "x", REG_DWORD, &v, 4);
  Put("\\B", "x", REG_DWORD, &v, 4);
  Put("\\Empty", "x", REG_DWORD, &v, 4);

  registry_key empty(std::string(kBase) + "\\Empty");
  EXPECT_EQ(empty.enumerate(root), success);
  EXPECT_TRUE(empty.subkeys().empty());

  registry_key key(kBase);
  EXPECT_EQ(key.enumerate(root), success);
  EXPECT_EQ(key.subkeys().size(), 3u);
  EXPECT_EQ(key.enumerate(root), success);
  EXPECT_EQ(key.subkeys().size(), 6u);

  registry_key all(kBase);
  EXPECT_EQ(all.enumerate_all(root), success);
  ASSERT_EQ(all.subkeys().size(), 3u);
  EXPECT_EQ(all.subkeys()[0]->name(), "A");
  ASSERT_EQ(all.subkeys()[0]->subkeys().size(), 1u);
  EXPECT_EQ(all.subkeys()[0]->subkeys()[0]->name(), "Deep");

  EXPECT_EQ(registry_key(std::string(kBase) + "\\Nowhere").enumerate(root), not_found);
}

TEST_F(Registry, CreateMakesTheKnownTreeAndRemoveDeletesIt) {
  registry_key key(kBase);
  key.add_key("One").add_key("Two");
  EXPECT_EQ(key.create(root), success);
  EXPECT_TRUE(Exists("\\One\\Two"));
  EXPECT_EQ(key.remove(root), success);
  EXPECT_FALSE(Exists(""));
  EXPECT_EQ(key.remove(root), not_found);
}

TEST(RegistryCodes, TranslationAndRights) {
  EXPECT_EQ(translate(ERROR_SUCCESS), 0);
  EXPECT_EQ(translate(ERROR_MORE_DATA), 0);
  EXPECT_EQ(translate(ERROR_NO_MORE_ITEMS), 0);
  EXPECT_EQ(translate(ERROR_FILE_NOT_FOUND), 3);
  EXPECT_EQ(translate(ERROR_ACCESS_DENIED), 4);
  EXPECT_EQ(translate(ERROR_INVALID_PARAMETER), 5);
  EXPECT_EQ(translate(ERROR_OUTOFMEMORY), 5);
  EXPECT_EQ(access_rights(0), static_cast<REGSAM>(KEY_ALL_ACCESS));
  EXPECT_EQ(access_rights(3), static_cast<REGSAM>(KEY_READ));
  EXPECT_EQ(access_rights(5), static_cast<REGSAM>(KEY_ENUMERATE_SUB_KEYS));
}

}  // namespace
