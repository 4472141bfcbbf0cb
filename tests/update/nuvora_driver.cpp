#include "tests/update/nuvora_driver.h"

#include <bcrypt.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tests/win/test_support.h"

namespace nuvora_test {

namespace {

const char kCaption[] = "ZOV Update utility";
const char kSaveAsTitle[] = "ZOV Update utility 1.2";
constexpr UINT kSendTimeoutMs = 3000;

int PortIn(const char* file) {
  std::ifstream in(std::string(NUVORA_SERVER_STATE) + "/" + file);
  int port = 0;
  in >> port;
  return port;
}

int ServerPort() {
  static int port = PortIn("server.port");
  return port;
}

const char kTrustedKeys[] = "Software\\Morvel Software Development\\Nuvora\\Trusted Keys";
const char kTestKeyName[] = "Nuvora test key";

std::string Hex(const unsigned char* bytes, std::size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

std::string Unhex(const std::string& text) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2)
    bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
  return bytes;
}

BCRYPT_ALG_HANDLE Algorithm(LPCWSTR name) {
  BCRYPT_ALG_HANDLE handle = nullptr;
  BCryptOpenAlgorithmProvider(&handle, name, nullptr, 0);
  return handle;  // kept for the life of the process
}

std::string Sha256(const std::string& bytes) {
  static BCRYPT_ALG_HANDLE algorithm = Algorithm(BCRYPT_SHA256_ALGORITHM);
  BCRYPT_HASH_HANDLE hash = nullptr;
  unsigned char digest[32] = {};
  BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0);
  BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                 static_cast<ULONG>(bytes.size()), 0);
  BCryptFinishHash(hash, digest, sizeof digest, 0);
  BCryptDestroyHash(hash);
  return std::string(reinterpret_cast<char*>(digest), sizeof digest);
}

std::string Sha256Hex(const std::string& bytes) {
  const std::string digest = Sha256(bytes);
  return Hex(reinterpret_cast<const unsigned char*>(digest.data()), digest.size());
}

BCRYPT_ALG_HANDLE Ecdsa() {
  static BCRYPT_ALG_HANDLE algorithm = Algorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  return algorithm;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

BOOL CALLBACK CollectStatics(HWND hwnd, LPARAM lParam) {
  if (ClassOf(hwnd) == "Static") reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectEdits(HWND hwnd, LPARAM lParam) {
  if (ClassOf(hwnd) == "Edit" && IsWindowVisible(hwnd))
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
  return TRUE;
}

bool IsKind(HWND hwnd, Kind kind) {
  const std::string caption = Text(hwnd);
  if (kind == Kind::SaveAs) return caption == kSaveAsTitle && GetDlgItem(hwnd, IDYES) == nullptr;
  if (caption != kCaption) return false;
  const bool about = MessageText(hwnd).find("Update utility  -  Version") != std::string::npos;
  switch (kind) {
    case Kind::About:
      return about;
    case Kind::Connecting:
      return GetDlgItem(hwnd, 1011) != nullptr;
    case Kind::Information:
      return GetDlgItem(hwnd, 1000) != nullptr;
    case Kind::Download:
      return GetDlgItem(hwnd, 1005) != nullptr;
    case Kind::Message: {
      // A dialog being torn down can lose its controls before it disappears:
      // a message box is known by its answer buttons and its text.
      if (about || GetDlgItem(hwnd, 1011) || GetDlgItem(hwnd, 1000) || GetDlgItem(hwnd, 1005))
        return false;
      if (!GetDlgItem(hwnd, IDOK) && !GetDlgItem(hwnd, IDYES)) return false;
      const std::string text = MessageText(hwnd);
      return !text.empty() && text.rfind("The following version", 0) != 0;
    }
    default:
      return false;
  }
}

void EmptyFolder(const std::string& dir) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "/*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      DeleteFileA((dir + "/" + data.cFileName).c_str());
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

std::string Windows(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

std::string Url(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(ServerPort()) + "/" + path;
}

std::string TlsUrl(const std::string& path, bool selfSigned) {
  const int port = PortIn(selfSigned ? "tls-self-signed.port" : "tls-trusted.port");
  return "https://localhost:" + std::to_string(port) + "/" + path;
}

std::string Feed(const std::string& section, Keys keys) {
  auto has = [&keys](const std::string& name) {
    for (const auto& key : keys)
      if (key.first == name) return true;
    return false;
  };
  if (!has("Serial")) keys.push_back({"Serial", "1"});
  if (!has("Expires")) keys.push_back({"Expires", "2099-12-31"});
  const Keys given = keys;
  for (const auto& [key, value] : given) {
    // "Path001" binds "001", "Path001.x64" "001.x64".
    if (key.rfind("Path", 0) != 0 || value.empty()) continue;
    const std::string index = key.substr(4);
    const std::string body = ServedBody(value);
    if (!has("Sha256" + index)) keys.push_back({"Sha256" + index, Sha256Hex(body)});
    if (!has("Length" + index)) keys.push_back({"Length" + index, std::to_string(body.size())});
  }
  std::string text = "[" + section + "]\r\n";
  for (const auto& [key, value] : keys) text += key + "=" + value + "\r\n";
  return text;
}

std::string ServedBody(const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t slash = scheme == std::string::npos ? scheme : url.find('/', scheme + 3);
  if (slash == std::string::npos) return "";
  const std::string rest = url.substr(slash + 1);
  const std::size_t query = rest.find('?');
  const std::string parameters = query == std::string::npos ? "" : "&" + rest.substr(query + 1);
  const std::size_t size = parameters.find("&size=");
  if (size == std::string::npos)
    return ReadWholeFile(std::string(NUVORA_SERVER_STATE) + "/served/" + rest.substr(0, query));
  // The server's generated body: byte i is i * 7 modulo 256.
  std::string body(std::stoul(parameters.substr(size + 6)), '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>((i * 7) & 0xFF);
  return body;
}

const FeedKey& FeedKey::Trusted() {
  static const FeedKey key(ReadWholeFile(NUVORA_FEED_KEY_FILE));
  return key;
}

FeedKey::FeedKey() {
  BCRYPT_KEY_HANDLE key = nullptr;
  if (BCryptGenerateKeyPair(Ecdsa(), &key, 256, 0) >= 0 && BCryptFinalizeKeyPair(key, 0) >= 0)
    _key = key;
}

FeedKey::FeedKey(const std::string& privateHex) {
  // d, then X and Y, as the build wrote them; CNG's blob wants X, Y, then d.
  const std::string bytes = Unhex(privateHex.substr(0, 192));
  if (bytes.size() != 96) return;
  BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PRIVATE_P256_MAGIC, 32};
  std::string blob(reinterpret_cast<const char*>(&header), sizeof header);
  blob += bytes.substr(32) + bytes.substr(0, 32);
  BCRYPT_KEY_HANDLE key = nullptr;
  if (BCryptImportKeyPair(Ecdsa(), nullptr, BCRYPT_ECCPRIVATE_BLOB, &key,
                          reinterpret_cast<PUCHAR>(&blob[0]), static_cast<ULONG>(blob.size()),
                          0) >= 0)
    _key = key;
}

FeedKey::~FeedKey() {
  if (_key) BCryptDestroyKey(static_cast<BCRYPT_KEY_HANDLE>(_key));
}

std::string FeedKey::Sign(const std::string& bytes) const {
  std::string digest = Sha256(bytes);
  unsigned char signature[64] = {};
  ULONG size = 0;
  if (!_key || BCryptSignHash(static_cast<BCRYPT_KEY_HANDLE>(_key), nullptr,
                              reinterpret_cast<PUCHAR>(&digest[0]), 32, signature, sizeof signature,
                              &size, 0) < 0)
    return "<no signature>";
  return Hex(signature, size);
}

std::string FeedKey::Public() const {
  unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + 64] = {};
  ULONG size = 0;
  if (!_key || BCryptExportKey(static_cast<BCRYPT_KEY_HANDLE>(_key), nullptr, BCRYPT_ECCPUBLIC_BLOB,
                               blob, sizeof blob, &size, 0) < 0)
    return "<no key>";
  return Hex(blob + sizeof(BCRYPT_ECCKEY_BLOB), 64);
}

ScopedTrustedKey::ScopedTrustedKey(HKEY root, const std::string& publicHex) : _root(root) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, kTrustedKeys, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, kTestKeyName, 0, REG_SZ, reinterpret_cast<const BYTE*>(publicHex.c_str()),
                 static_cast<DWORD>(publicHex.size() + 1));
  RegCloseKey(key);
}

ScopedTrustedKey::~ScopedTrustedKey() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(_root, kTrustedKeys, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return;
  RegDeleteValueA(key, kTestKeyName);
  RegCloseKey(key);
}

namespace {

std::string TestAuthority() {
  const std::string pem = ReadWholeFile(std::string(NUVORA_SERVER_STATE) + "/ca.pem");
  BYTE der[4096];
  DWORD size = sizeof der;
  if (!CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der, &size, nullptr,
                            nullptr))
    return "";
  return std::string(reinterpret_cast<char*>(der), size);
}

HCERTSTORE MachineRoots() {
  return CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "ROOT");
}

}  // namespace

TrustedTestAuthority::TrustedTestAuthority() {
  const std::string der = TestAuthority();
  HCERTSTORE store = MachineRoots();
  if (der.empty() || !store) return;
  _added = CertAddEncodedCertificateToStore(
               store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
               static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr) != FALSE;
  CertCloseStore(store, 0);
}

TrustedTestAuthority::~TrustedTestAuthority() {
  const std::string der = TestAuthority();
  HCERTSTORE store = MachineRoots();
  if (der.empty() || !store) return;
  PCCERT_CONTEXT mine = CertCreateCertificateContext(
      X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size()));
  if (PCCERT_CONTEXT found = mine ? CertFindCertificateInStore(store, X509_ASN_ENCODING, 0,
                                                               CERT_FIND_EXISTING, mine, nullptr)
                                  : nullptr)
    CertDeleteCertificateFromStore(found);
  if (mine) CertFreeCertificateContext(mine);
  CertCloseStore(store, 0);
}

void ForgetFeedSerials() {
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Morvel Software Development\\Nuvora\\Feed Serials");
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return bool(out);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Text(HWND window) {
  char buffer[1024] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
  return buffer;
}

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control ? Text(control) : "<no control>";
}

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // The wide message: Wine hands the ANSI one across processes as one character.
    wchar_t wide[512] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
    char item[512] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, item, sizeof item, nullptr, nullptr);
    items.push_back(item);
  }
  return items;
}

int ComboSelection(HWND combo) { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }

void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string MessageText(HWND box) {
  std::vector<HWND> statics;
  EnumChildWindows(box, CollectStatics, reinterpret_cast<LPARAM>(&statics));
  std::string longest;
  for (HWND s : statics) {
    std::string t = Text(s);
    if (t.size() > longest.size()) longest = t;
  }
  return longest;
}

NuvoraRun::NuvoraRun(const std::string& name) : _name(name) {
  _served = std::string(NUVORA_SERVER_STATE) + "/served/" + name;
  _local = std::string(NUVORA_WORK_DIR) + "/" + name;
  _temp = _local + "/temp";
  std::string work = NUVORA_WORK_DIR;
  CreateDirectoryA(work.c_str(), nullptr);
  // Files left by an earlier run would change what the dialogs ask.
  for (const std::string& dir : {_served, _local, _temp}) {
    CreateDirectoryA(dir.c_str(), nullptr);
    EmptyFolder(dir);
  }
}

NuvoraRun::~NuvoraRun() {
  if (_process.hProcess) {
    if (WaitForSingleObject(_process.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(_process.hProcess, 99);
      WaitForSingleObject(_process.hProcess, 5000);
    }
    CloseHandle(_process.hProcess);
    CloseHandle(_process.hThread);
  }
}

std::string NuvoraRun::ServedPath(const std::string& file) const { return _served + "/" + file; }
std::string NuvoraRun::LocalPath(const std::string& file) const {
  return Windows(_local + "/" + file);
}

std::string NuvoraRun::Serve(const std::string& file, const std::string& text) {
  WriteTextFile(ServedPath(file), text);
  return Url(_name + "/" + file);
}

std::string NuvoraRun::ServeFeed(const std::string& file, const std::string& text) {
  Serve(file + ".sig", FeedKey::Trusted().Sign(text) + "\n");
  return Serve(file, text);
}

std::string NuvoraRun::ServeInstaller(const std::string& file) {
  CopyFileA(NUVORA_TEST_INSTALLER, ServedPath(file).c_str(), FALSE);
  return Url(_name + "/" + file);
}

bool NuvoraRun::Start(const std::string& commandLine, const std::string& tempFolder) {
  const std::string temp = Windows(tempFolder.empty() ? _temp : tempFolder);
  // Each run gets its own temporary folder: every run of Nuvora uses the same
  // temporary file name, and the cases run in parallel.
  SetEnvironmentVariableA("TMP", temp.c_str());
  SetEnvironmentVariableA("TEMP", temp.c_str());
  std::string line = "\"" + Windows(NUVORA_EXE) + "\" " + commandLine;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  return CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        Windows(_local).c_str(), &startup, &_process) != FALSE;
}

HWND NuvoraRun::Find(Kind kind) {
  return testing_support::FindTopWindow(_process.dwProcessId, [kind](HWND hwnd) {
    return ClassOf(hwnd) == "#32770" && IsKind(hwnd, kind);
  });
}

HWND NuvoraRun::WaitFor(Kind kind, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND hwnd = Find(kind)) return hwnd;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    if (WaitForSingleObject(_process.hProcess, 20) == WAIT_OBJECT_0) return Find(kind);
  }
}

bool NuvoraRun::WaitExit(DWORD* code, DWORD timeoutMs) {
  if (WaitForSingleObject(_process.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(_process.hProcess, code);
  return true;
}

std::string NuvoraRun::ExitsWithoutMessage(DWORD* code, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(_process.hProcess, 20) == WAIT_TIMEOUT) {
    if (HWND box = Find(Kind::Message)) return MessageText(box);
    if (GetTickCount() - start > timeoutMs) return "<still running>";
  }
  GetExitCodeProcess(_process.hProcess, code);
  return "";
}

namespace {

void SetFileNameField(HWND dialog, const std::string& text) {
  std::vector<HWND> edits;
  EnumChildWindows(dialog, CollectEdits, reinterpret_cast<LPARAM>(&edits));
  DWORD_PTR ignored = 0;
  for (HWND edit : edits)
    SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
}

bool Gone(HWND dialog, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 20) {
    if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

std::string NuvoraRun::SaveAsProposal() {
  HWND dialog = WaitFor(Kind::SaveAs);
  if (!dialog) return "";
  // The dialog fills its name field a moment after it shows.
  std::string text;
  for (int i = 0; i < 100 && text.empty(); ++i) {
    std::vector<HWND> edits;
    EnumChildWindows(dialog, CollectEdits, reinterpret_cast<LPARAM>(&edits));
    for (HWND edit : edits)
      if (text.empty()) text = Text(edit);
    if (text.empty()) Sleep(20);
  }
  return text;
}

bool NuvoraRun::SaveAs(const std::string& path) {
  HWND dialog = WaitFor(Kind::SaveAs);
  if (!dialog) return false;
  // The dialog fills its fields a moment after it shows and may miss an early
  // OK: set the name and press OK until it goes away.
  for (int attempt = 0; attempt < 10; ++attempt) {
    Sleep(100);
    SetFileNameField(dialog, Windows(path));
    Press(dialog, IDOK);
    // An existing file makes the dialog ask whether to replace it: Yes.
    for (int i = 0; i < 25; ++i) {
      HWND replace = FindWindowExA(nullptr, nullptr, "#32770", kSaveAsTitle);
      for (; replace; replace = FindWindowExA(nullptr, replace, "#32770", kSaveAsTitle)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(replace, &owner);
        if (owner == _process.dwProcessId && GetDlgItem(replace, IDYES)) break;
      }
      if (replace) {
        Press(replace, IDYES);
        break;
      }
      if (Gone(dialog, 20)) return true;
    }
    if (Gone(dialog, 700)) return true;
  }
  return false;
}

namespace {

// Files named by GetTempFileName with the prefix "ZOV" in a folder.
std::vector<std::string> ZovFiles(const std::string& dir) {
  std::vector<std::string> files;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "/ZOV*.tmp").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return files;
  do files.push_back(dir + "/" + data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  return files;
}

}  // namespace

bool NuvoraRun::TemporaryFilePresent() const { return !ZovFiles(_temp).empty(); }

long long NuvoraRun::TemporaryFileSize() const {
  const auto files = ZovFiles(_temp);
  return files.empty() ? -1 : FileSize(files.front());
}

int NuvoraRun::LeftoverPartialFiles() const { return static_cast<int>(ZovFiles(_local).size()); }

long long NuvoraRun::PartialFileSize() const {
  const auto files = ZovFiles(_local);
  return files.empty() ? -1 : FileSize(files.front());
}

std::string NuvoraRun::TempFolder() const { return _temp; }

}  // namespace nuvora_test
