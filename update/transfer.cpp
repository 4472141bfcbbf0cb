#include "update/transfer.h"

#include <wininet.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "update/progress.h"
#include "update/resource.h"
#include "update/sha256_hash.h"

namespace nuvora {

namespace {

// Reads grow up to this while the data is there: the transfer must not be paced
// by calls per 4 KB. (Sizing reads by InternetQueryDataAvailable was measured
// about four times slower over loopback under Wine.)
constexpr DWORD kReadSize = 256 * 1024;
// Redirects followed before the address counts as unusable (a loop ends here).
constexpr int kMaxRedirects = 10;

enum class Scheme { Http, Https, Other };

Scheme SchemeOf(const std::string& url) {
  auto starts = [&](const char* prefix, int size) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, url.c_str(),
                          static_cast<int>(url.size()) < size ? static_cast<int>(url.size()) : size,
                          prefix, size) == CSTR_EQUAL;
  };
  if (starts("http://", 7)) return Scheme::Http;
  if (starts("https://", 8)) return Scheme::Https;
  return Scheme::Other;
}

// Certificate faults are never ignored: they end with a message of their own.
bool IsCertificateError(DWORD error) {
  switch (error) {
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_NO_REV:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_CERT_REVOKED:
    case ERROR_INTERNET_SEC_INVALID_CERT:
      return true;
    default:
      return false;
  }
}

DWORD StatusOf(HINTERNET request) {
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr))
    return 0;
  return status;
}

// Where a redirect points, made absolute against the address that answered;
// empty when it names nothing usable.
std::string RedirectTarget(HINTERNET request, const std::string& from) {
  char location[2048] = {};
  DWORD size = sizeof location;
  if (!HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location, &size, nullptr)) return "";
  char absolute[2048] = {};
  DWORD length = sizeof absolute;
  if (!InternetCombineUrlA(from.c_str(), location, absolute, &length, ICU_NO_ENCODE)) return "";
  return absolute;
}

// Announced body length, or -1 when the server gave none (or the URL is not http).
long long ContentLength(HINTERNET request, const std::string& url) {
  if (SchemeOf(url) == Scheme::Other) return -1;
  char text[32] = {};
  DWORD size = sizeof text;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return -1;
  return std::strtoll(text, nullptr, 10);
}

// The messages of one kind of transfer.
struct Messages {
  unsigned cannotConnect;  // the address cannot be opened at all
  unsigned badAnswer;      // the server answered with anything but the file
};

Messages MessagesFor(TransferKind kind) {
  switch (kind) {
    case TransferKind::Configuration:
      return {IDS_NO_CONNECTION, IDS_NO_CONNECTION};
    case TransferKind::Signature:
      // No signature where it belongs: the feed is unsigned.
      return {IDS_NO_CONNECTION, IDS_UNVERIFIED};
    case TransferKind::Installer:
    default:
      return {IDS_CANNOT_OPEN_URL, IDS_CANNOT_OPEN_URL};
  }
}

// Opens the job's URL, following redirects itself: WinINet under Wine follows
// one from https to http without a word, and one to a scheme it does not follow
// would otherwise be saved as the file. Only "200 OK" is the file. On success
// *opened is the request, published in the job, and *url where it came from.
Outcome Open(TransferJob& job, HINTERNET* opened, std::string* url) {
  const TransferRequest& what = job.Request();
  const Messages messages = MessagesFor(what.kind);
  DWORD flags =
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT;
  if (what.kind == TransferKind::Installer) flags |= INTERNET_FLAG_RAW_DATA;
  *url = what.url;
  for (int redirects = 0;; ++redirects) {
    HINTERNET request = InternetOpenUrlA(what.internet, url->c_str(), nullptr, 0, flags, 0);
    if (request == nullptr) {
      return Outcome::Failed(IsCertificateError(GetLastError()) ? IDS_BAD_CERTIFICATE
                                                                : messages.cannotConnect);
    }
    // A stop confirmed while the URL was opening missed this handle.
    if (!job.Publish(request)) return Outcome::Stopped();
    job.Heard(true);
    *opened = request;
    const Scheme scheme = SchemeOf(*url);
    if (scheme == Scheme::Other) return Outcome::Done();  // ftp has no status to judge
    const DWORD status = StatusOf(request);
    if (status == HTTP_STATUS_OK) return Outcome::Done();
    const bool redirect =
        status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
    const std::string target = redirect ? RedirectTarget(request, *url) : "";
    job.CloseRequest();
    if (target.empty() || redirects == kMaxRedirects) return Outcome::Failed(messages.badAnswer);
    // Once private, always private.
    if (scheme == Scheme::Https && SchemeOf(target) != Scheme::Https)
      return Outcome::Failed(IDS_INSECURE_REDIRECT);
    if (SchemeOf(target) == Scheme::Other) return Outcome::Failed(messages.badAnswer);
    *url = target;
  }
}

Outcome VerifyChecksum(Sha256Hash* hash, const Sha256Digest& expected) {
  Sha256Digest digest{};
  if (!hash->Finish(&digest) || digest != expected) return Outcome::Failed(IDS_DAMAGED_FILE);
  return Outcome::Done();
}

Outcome CopyToOutput(TransferJob& job, HINTERNET request, long long announced) {
  const TransferRequest& what = job.Request();
  const Outcome reset = Outcome::Failed(IDS_CONNECTION_RESET);
  // More than the feed binds the file to is not the file.
  const Outcome tooLong = Outcome::Failed(IDS_DAMAGED_FILE);
  // An endless configuration body must not fill the disk: it counts as no connection.
  const Outcome tooLarge = Outcome::Failed(MessagesFor(what.kind).badAnswer);
  const long long length = what.length ? static_cast<long long>(*what.length) : -1;
  std::vector<char> buffer(kReadSize);
  std::unique_ptr<Sha256Hash> hash;
  if (what.sha256) {
    hash = std::make_unique<Sha256Hash>();
    if (!hash->Ok()) return Outcome::Failed(IDS_DAMAGED_FILE);  // unverifiable counts as damaged
  }
  if (length >= 0 && announced > length) return tooLong;
  if (what.maxBytes >= 0 && announced > what.maxBytes) return tooLarge;
  long long total = 0;
  DWORD want = 4096;
  for (;;) {
    if (!job.Checkpoint()) return reset;
    DWORD got = 0;
    const DWORD started = GetTickCount();
    const bool read = InternetReadFile(request, buffer.data(), want, &got) != FALSE;
    want = NextReadSize(want, GetTickCount() - started, kReadSize);
    // A read that returns while the stop question is open waits with its data, so
    // the file does not grow while the user decides; after a stop nothing is written.
    if (!job.Checkpoint() || !read) return reset;
    if (got == 0) {
      // Some WinINet versions end a dropped connection like a complete body;
      // a body shorter than announced, or than the feed says, is a reset all the same.
      if (announced >= 0 && total < announced) return reset;
      if (hash) {
        const Outcome checked = VerifyChecksum(hash.get(), *what.sha256);
        if (!checked.IsDone()) return checked;
      }
      return length >= 0 && total < length ? reset : Outcome::Done();
    }
    job.Heard(false);
    total += got;
    if (length >= 0 && total > length) return tooLong;
    if (what.maxBytes >= 0 && total > what.maxBytes) return tooLarge;
    switch (job.Write(buffer.data(), got)) {
      case TransferJob::Written::Yes:
        break;
      case TransferJob::Written::Stopped:
        return reset;
      case TransferJob::Written::Failed:
        return Outcome::Failed(IDS_CANNOT_WRITE);
    }
    if (hash) hash->Add(buffer.data(), got);
    job.AddKilobytes(KilobytesInRead(got));
  }
}

}  // namespace

Outcome RunTransfer(TransferJob& job, HWND dialog) {
  std::string url;
  HINTERNET request = nullptr;
  Outcome outcome = Open(job, &request, &url);
  if (outcome.IsDone()) {
    if (job.Request().kind == TransferKind::Configuration)
      PostMessageA(dialog, WM_NUVORA_LOADING, 0, 0);
    outcome = CopyToOutput(job, request, ContentLength(request, url));
  }
  job.CloseRequest();
  return outcome;
}

}  // namespace nuvora
