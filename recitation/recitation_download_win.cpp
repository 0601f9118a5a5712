#include "recitation/recitation_download_win.h"

#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "recitation/recitation_rules.h"

#include <shlobj.h>
#include <winhttp.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

// Resolving and connecting may take a while on a slow line; a server that sends nothing
// for half a minute has stopped.
constexpr int kResolveTimeoutMs = 15000;
constexpr int kConnectTimeoutMs = 15000;
constexpr int kSendTimeoutMs = 30000;
constexpr int kReceiveTimeoutMs = 30000;
// How often the worker tells the dialog how many bytes have come.
constexpr DWORD kProgressPeriodMs = 200;
// How long a cancelled fetch is given to unwind before the worker goes on without it.
constexpr DWORD kAbortGraceMs = 1000;
constexpr DWORD kReadChunk = 64 * 1024;

FetchResult failureOf(FetchOutcome outcome, int status = 0, unsigned long error = 0) {
    FetchResult result;
    result.outcome = outcome;
    result.httpStatus = status;
    result.systemError = error;
    return result;
}

// What a failed WinHTTP call means; `receiving` once the body had begun to come.
FetchResult networkFailure(bool cancelled, DWORD error, bool receiving) {
    if (cancelled || error == ERROR_WINHTTP_OPERATION_CANCELLED)
        return failureOf(FetchOutcome::Cancelled);
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT: return failureOf(FetchOutcome::TimedOut);
    case ERROR_WINHTTP_CANNOT_CONNECT: return failureOf(FetchOutcome::Refused);
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return failureOf(FetchOutcome::HostUnknown);
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return failureOf(FetchOutcome::BadAddress);
    default: break;
    }
    if (receiving || error == ERROR_WINHTTP_CONNECTION_ERROR ||
        error == ERROR_WINHTTP_INVALID_SERVER_RESPONSE)
        return failureOf(FetchOutcome::CutShort, 0, error);
    return failureOf(FetchOutcome::Network, 0, error);
}

// The announced length of the body, or -1 when none (or an unreadable one) came.
long long contentLength(HINTERNET request) {
    wchar_t text[32] = L"";
    DWORD size = sizeof text;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                             text, &size, WINHTTP_NO_HEADER_INDEX))
        return -1;
    wchar_t* end = nullptr;
    const long long length = std::wcstoll(text, &end, 10);
    return end != text && length >= 0 ? length : -1;
}

std::wstring joinPath(const std::wstring& folder, const char* name) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + wideFromUtf8(name);
}

// Reads a whole file of at most kMaxRecordingBytes; false when it cannot.
bool readWholeFile(const std::wstring& path, std::vector<uint8_t>* data) {
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        size.QuadPart > static_cast<LONGLONG>(kMaxRecordingBytes))
        return false;
    data->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return data->empty() ||
           (ReadFile(file.get(), data->data(), static_cast<DWORD>(data->size()), &read, nullptr) &&
            read == data->size());
}

bool holdsMp3(const std::wstring& path) {
    std::vector<uint8_t> data;
    return readWholeFile(path, &data) &&
           judgeFetchedBody(data.data(), data.size()) == FetchedBody::Mp3;
}

// Renames the whole file to its final name. The name may be held for a moment (a scanner
// looking at the file that was there, an indexer), so a refusal is tried again a few times;
// a final name left read-only holds no recording (it was not skipped), so it loses that
// mark. False (GetLastError says why) when it never went, or on cancel.
bool moveIntoPlace(const std::wstring& partPath, const std::wstring& finalPath,
                   HANDLE cancelEvent) {
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 1; attempt <= kMoveAttempts; ++attempt) {
        if (attempt > 1 &&
            WaitForSingleObject(cancelEvent, static_cast<DWORD>(moveRetryDelayMs(attempt - 1))) ==
                WAIT_OBJECT_0)
            break;
        if (MoveFileExW(partPath.c_str(), finalPath.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION &&
            error != ERROR_LOCK_VIOLATION)
            break;
        const DWORD attributes = GetFileAttributesW(finalPath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesW(finalPath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    SetLastError(error == ERROR_SUCCESS ? ERROR_OPERATION_ABORTED : error);
    return false;
}

// Writes the body as the temporary file, judges it and renames it into place; the
// temporary file never outlives a failure.
FetchResult saveRecording(const std::vector<uint8_t>& body, const std::wstring& partPath,
                          const std::wstring& finalPath, HANDLE cancelEvent) {
    const FetchOutcome judged = outcomeOfBody(judgeFetchedBody(body.data(), body.size()));
    if (judged != FetchOutcome::Saved) return failureOf(judged);
    {
        KernelHandle file(CreateFileW(partPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return failureOf(FetchOutcome::WriteFailed, 0, GetLastError());
        DWORD written = 0;
        const bool whole = WriteFile(file.get(), body.data(), static_cast<DWORD>(body.size()),
                                     &written, nullptr) &&
                           written == body.size() && FlushFileBuffers(file.get());
        const DWORD error = GetLastError();
        if (!whole) {
            file.reset();
            DeleteFileW(partPath.c_str());
            return failureOf(FetchOutcome::WriteFailed, 0, error ? error : ERROR_WRITE_FAULT);
        }
    }
    // What reached the disk is what was judged; it is judged once more as written.
    if (!holdsMp3(partPath)) {
        DeleteFileW(partPath.c_str());
        return failureOf(FetchOutcome::WriteFailed, 0, ERROR_WRITE_FAULT);
    }
    if (!moveIntoPlace(partPath, finalPath, cancelEvent)) {
        const DWORD error = GetLastError();
        DeleteFileW(partPath.c_str());
        return failureOf(FetchOutcome::WriteFailed, 0, error);
    }
    return failureOf(FetchOutcome::Saved);
}

// Calls `visit` with the UTF-8 name and what the listing says of every file (not folder) in
// the folder.
template <typename Visit> void listFolder(const std::wstring& folder, Visit visit) {
    const std::wstring pattern = joinPath(folder, "*");
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                  nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            visit(utf8FromWide(found.cFileName), found);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

struct RecitationDownload::Shared {
    volatile LONG references = 1;
    CRITICAL_SECTION lock;
    KernelHandle cancelEvent{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    RecitationDownloadProgress progress;
    RecitationDownloadRequest request;
    HWND notify = nullptr;
    UINT message = 0;
    std::wstring folder;
    std::vector<AyahOfSurah> ayat;
    size_t next = 0;              // the next file a free connection takes
    std::vector<long long> taken; // per connection: the file it fetches, -1 when none
    volatile LONG64 received = 0; // bytes of every connection
    volatile LONG lastNotice = 0; // tick of the last progress message

    Shared() { InitializeCriticalSection(&lock); }
    ~Shared() { DeleteCriticalSection(&lock); }
    void addReference() { InterlockedIncrement(&references); }
    void release() {
        if (InterlockedDecrement(&references) == 0) delete this;
    }
    bool cancelled() const { return WaitForSingleObject(cancelEvent.get(), 0) == WAIT_OBJECT_0; }
    void notice(WPARAM finished = 0) {
        if (notify) PostMessageW(notify, message, finished, 0);
    }
    // Changes the progress unless the download has already been reported finished (a
    // connection that was left behind by a cancel changes nothing after that).
    template <typename Change> void update(Change change, WPARAM finished = 0) {
        EnterCriticalSection(&lock);
        const bool changed = !progress.finished;
        if (changed) change(progress);
        LeaveCriticalSection(&lock);
        if (changed) notice(finished);
    }
    // Bytes as they come, told to the window at most every kProgressPeriodMs.
    void addReceived(DWORD bytes) {
        InterlockedExchangeAdd64(&received, bytes);
        const LONG now = static_cast<LONG>(GetTickCount());
        const LONG last = lastNotice;
        if (static_cast<DWORD>(now - last) >= kProgressPeriodMs &&
            InterlockedCompareExchange(&lastNotice, now, last) == last)
            update([&](RecitationDownloadProgress& p) {
                p.bytes = static_cast<unsigned long long>(received);
            });
    }
};

namespace {

using Shared = RecitationDownload::Shared;

// One connection's WinHTTP handles, made and closed on its own thread only. The connection
// to a host is kept from file to file.
struct Connection {
    HINTERNET session = nullptr;
    HINTERNET connection = nullptr;
    std::wstring host;
    INTERNET_PORT port = 0;

    ~Connection() {
        if (connection) WinHttpCloseHandle(connection);
        if (session) WinHttpCloseHandle(session);
    }
};

// The system's proxy settings where Windows knows that kind of session (8.1 on), else the
// proxy configured for WinHTTP.
HINTERNET openSession() {
    HINTERNET session = WinHttpOpen(L"Noravel", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                    WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session)
        session = WinHttpOpen(L"Noravel", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0);
    if (session)
        WinHttpSetTimeouts(session, kResolveTimeoutMs, kConnectTimeoutMs, kSendTimeoutMs,
                           kReceiveTimeoutMs);
    return session;
}

// Closes a request handle when it goes out of scope.
struct RequestHandle {
    HINTERNET handle = nullptr;
    ~RequestHandle() {
        if (handle) WinHttpCloseHandle(handle);
    }
};

// One attempt at one file on this connection. Before every WinHTTP call the cancel event
// is looked at, and a cancel ends the attempt there.
FetchResult fetchOnce(Shared& shared, Connection& link, const std::wstring& url,
                      std::vector<uint8_t>* body) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts) || !parts.lpszHostName ||
        parts.dwHostNameLength == 0 ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
        return failureOf(FetchOutcome::BadAddress);
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path =
        parts.lpszUrlPath ? std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) : std::wstring();
    if (parts.lpszExtraInfo) path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    const auto stopped = [&] { return shared.cancelled(); };
    if (stopped()) return failureOf(FetchOutcome::Cancelled);
    if (!link.session) link.session = openSession();
    if (!link.session) return failureOf(FetchOutcome::Network, 0, GetLastError());
    if (link.connection && (link.host != host || link.port != parts.nPort)) {
        WinHttpCloseHandle(link.connection);
        link.connection = nullptr;
    }
    if (!link.connection) {
        link.connection = WinHttpConnect(link.session, host.c_str(), parts.nPort, 0);
        if (!link.connection) return networkFailure(stopped(), GetLastError(), false);
        link.host = host;
        link.port = parts.nPort;
    }
    if (stopped()) return failureOf(FetchOutcome::Cancelled);
    RequestHandle request;
    request.handle =
        WinHttpOpenRequest(link.connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                           WINHTTP_DEFAULT_ACCEPT_TYPES,
                           parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    if (!request.handle) return networkFailure(stopped(), GetLastError(), false);
    if (stopped()) return failureOf(FetchOutcome::Cancelled);
    if (!WinHttpSendRequest(request.handle, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        return networkFailure(stopped(), GetLastError(), false);
    if (stopped()) return failureOf(FetchOutcome::Cancelled);
    if (!WinHttpReceiveResponse(request.handle, nullptr))
        return networkFailure(stopped(), GetLastError(), false);
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!WinHttpQueryHeaders(request.handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                             WINHTTP_NO_HEADER_INDEX))
        return networkFailure(stopped(), GetLastError(), false);
    if (status != 200) return failureOf(FetchOutcome::HttpStatus, static_cast<int>(status));

    // The announced length is a hint for the buffer, never trusted beyond the cap.
    const long long announced = contentLength(request.handle);
    if (announced > static_cast<long long>(kMaxRecordingBytes))
        return failureOf(FetchOutcome::TooLarge);
    if (announced > 0) body->reserve(static_cast<size_t>(announced));
    std::vector<uint8_t> chunk(kReadChunk);
    for (;;) {
        if (stopped()) return failureOf(FetchOutcome::Cancelled);
        DWORD got = 0;
        if (!WinHttpReadData(request.handle, chunk.data(), kReadChunk, &got))
            return networkFailure(stopped(), GetLastError(), true);
        if (got == 0) break;
        if (got > kReadChunk || body->size() + got > kMaxRecordingBytes)
            return failureOf(FetchOutcome::TooLarge);
        body->insert(body->end(), chunk.data(), chunk.data() + got);
        shared.addReceived(got);
    }
    if (announced >= 0 && body->size() < static_cast<unsigned long long>(announced))
        return failureOf(FetchOutcome::CutShort);
    return failureOf(FetchOutcome::Saved); // the caller judges the body
}

// Fetches one ayah's file, trying again after passing failures, and saves it.
FetchResult fetchAyah(Shared& shared, Connection& link, const AyahOfSurah& ayah) {
    char url[4096];
    char name[16];
    char partName[32];
    if (!formatRecitationUrl(url, sizeof url, shared.request.urlTemplate.c_str(), ayah.surah,
                             ayah.ayah) ||
        !formatAyahFileName(name, sizeof name, ayah.surah, ayah.ayah) ||
        !formatPartialAyahFileName(partName, sizeof partName, ayah.surah, ayah.ayah))
        return failureOf(FetchOutcome::BadAddress);
    const std::wstring wideUrl = wideFromUtf8(url);
    FetchResult result = failureOf(FetchOutcome::BadAddress);
    for (int attempt = 1; attempt <= kFetchAttempts; ++attempt) {
        if (attempt > 1) {
            const int delay = shared.request.retryDelay ? shared.request.retryDelay(attempt - 1)
                                                        : retryDelayMs(attempt - 1);
            if (WaitForSingleObject(shared.cancelEvent.get(),
                                    static_cast<DWORD>(delay < 0 ? 0 : delay)) == WAIT_OBJECT_0)
                return failureOf(FetchOutcome::Cancelled);
        }
        std::vector<uint8_t> body;
        result = fetchOnce(shared, link, wideUrl, &body);
        if (result.outcome == FetchOutcome::Saved && shared.cancelled())
            result = failureOf(FetchOutcome::Cancelled); // nothing reaches the disk after a cancel
        if (result.outcome == FetchOutcome::Saved)
            result = saveRecording(body, joinPath(shared.folder, partName),
                                   joinPath(shared.folder, name), shared.cancelEvent.get());
        if (result.outcome == FetchOutcome::Saved || !isRetriedFetch(result) || shared.cancelled())
            break;
    }
    return result;
}

struct ConnectionTask {
    Shared* shared;
    size_t slot;
};

// One connection: takes the next file until none is left or the download is cancelled.
void runConnection(Shared& shared, size_t slot) {
    Connection link;
    for (;;) {
        if (shared.cancelled()) return;
        EnterCriticalSection(&shared.lock);
        const size_t index = shared.next < shared.ayat.size() ? shared.next++ : shared.ayat.size();
        if (index < shared.ayat.size()) shared.taken[slot] = static_cast<long long>(index);
        LeaveCriticalSection(&shared.lock);
        if (index >= shared.ayat.size()) return;
        const AyahOfSurah ayah = shared.ayat[index];
        shared.update([&](RecitationDownloadProgress& p) {
            if (p.fileNumber < static_cast<int>(index) + 1)
                p.fileNumber = static_cast<int>(index) + 1;
        });
        char name[16];
        formatAyahFileName(name, sizeof name, ayah.surah, ayah.ayah);
        if (holdsMp3(joinPath(shared.folder, name))) {
            shared.update([&](RecitationDownloadProgress& p) {
                ++p.skipped;
                shared.taken[slot] = -1;
            });
            continue;
        }
        const FetchResult result = fetchAyah(shared, link, ayah);
        char failure[160] = "";
        if (result.outcome != FetchOutcome::Saved)
            formatFetchFailure(failure, sizeof failure, ayah.surah, ayah.ayah, result);
        shared.update([&](RecitationDownloadProgress& p) {
            shared.taken[slot] = -1;
            p.bytes = static_cast<unsigned long long>(shared.received);
            if (result.outcome == FetchOutcome::Saved) {
                ++p.done;
                return;
            }
            ++p.failed;
            p.failures.push_back(failure);
            if (result.outcome == FetchOutcome::Cancelled) p.cancelled = true;
        });
        if (result.outcome == FetchOutcome::Cancelled) return;
    }
}

DWORD WINAPI connectionThread(LPVOID parameter) {
    ConnectionTask* task = static_cast<ConnectionTask*>(parameter);
    Shared* shared = task->shared;
    const size_t slot = task->slot;
    delete task;
    try {
        runConnection(*shared, slot);
    } catch (...) { // memory ran out: this connection stops; the others go on
        shared->update([&](RecitationDownloadProgress& p) {
            if (shared->taken[slot] >= 0) ++p.failed;
            shared->taken[slot] = -1;
        });
    }
    shared->release();
    return 0;
}

void removeStalePartialFiles(const std::wstring& folder) {
    std::vector<std::wstring> stale;
    listFolder(folder, [&](const std::string& name, const WIN32_FIND_DATAW& found) {
        if (isPartialAyahFileName(name.c_str()))
            stale.push_back(joinPath(folder, "") + found.cFileName);
    });
    for (const std::wstring& path : stale)
        DeleteFileW(path.c_str());
}

// Starts the connections and waits for them; after a cancel, waits a moment and counts the
// files still under way as cancelled.
void runDownload(Shared& shared) {
    const RecitationDownloadRequest& request = shared.request;
    shared.folder = wideFromUtf8(request.folder.c_str());
    if (!request.ayat.empty())
        shared.ayat = request.ayat;
    else if (request.ayahCount)
        shared.ayat = ayatOfSurahs(request.firstSurah, request.lastSurah, request.ayahCount);
    shared.update(
        [&](RecitationDownloadProgress& p) { p.files = static_cast<int>(shared.ayat.size()); });
    const int made = shared.folder.empty()
                         ? ERROR_PATH_NOT_FOUND
                         : SHCreateDirectoryExW(nullptr, shared.folder.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS) {
        char text[160];
        std::snprintf(text, sizeof text, "The folder could not be made (error %d).", made);
        shared.update([&](RecitationDownloadProgress& p) {
            p.failed = static_cast<int>(shared.ayat.size());
            p.failures.push_back(text);
        });
        return;
    }
    removeStalePartialFiles(shared.folder);

    size_t wanted = static_cast<size_t>(validDownloadConnections(request.connections));
    if (wanted > shared.ayat.size()) wanted = shared.ayat.size();
    shared.taken.assign(wanted, -1);
    std::vector<KernelHandle> threads;
    for (size_t slot = 0; slot < wanted; ++slot) {
        ConnectionTask* task = new (std::nothrow) ConnectionTask{&shared, slot};
        if (!task) break;
        shared.addReference();
        HANDLE thread = CreateThread(nullptr, 0, connectionThread, task, 0, nullptr);
        if (!thread) {
            shared.release();
            delete task;
            break;
        }
        threads.emplace_back(thread);
    }
    std::vector<HANDLE> handles;
    for (const KernelHandle& thread : threads)
        handles.push_back(thread.get());
    if (handles.empty() && !shared.ayat.empty()) {
        shared.update([&](RecitationDownloadProgress& p) {
            p.failed = static_cast<int>(shared.ayat.size());
            p.failures.push_back("The download could not start a connection.");
        });
        return;
    }
    for (;;) {
        if (handles.empty()) break;
        const DWORD woke = WaitForMultipleObjects(static_cast<DWORD>(handles.size()),
                                                  handles.data(), TRUE, kProgressPeriodMs);
        if (woke != WAIT_TIMEOUT) break;
        shared.update([&](RecitationDownloadProgress& p) {
            p.bytes = static_cast<unsigned long long>(shared.received);
        });
        if (shared.cancelled()) {
            WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE,
                                   kAbortGraceMs);
            break;
        }
    }
    // Files still under way now end as cancelled; files never begun are not counted.
    shared.update([&](RecitationDownloadProgress& p) {
        p.bytes = static_cast<unsigned long long>(shared.received);
        for (long long& index : shared.taken) {
            if (index < 0) continue;
            const AyahOfSurah& ayah = shared.ayat[static_cast<size_t>(index)];
            char failure[160];
            formatFetchFailure(failure, sizeof failure, ayah.surah, ayah.ayah,
                               failureOf(FetchOutcome::Cancelled));
            ++p.failed;
            p.failures.push_back(failure);
            index = -1;
        }
        if (shared.cancelled()) p.cancelled = true;
        std::sort(p.failures.begin(), p.failures.end());
    });
}

DWORD WINAPI downloadThread(LPVOID parameter) {
    Shared* shared = static_cast<Shared*>(parameter);
    try {
        runDownload(*shared);
    } catch (...) { // memory ran out: the download ends with what it has
        shared->update([](RecitationDownloadProgress& p) { ++p.failed; });
    }
    shared->update([](RecitationDownloadProgress& p) { p.finished = true; }, 1);
    shared->release();
    return 0;
}

} // namespace

RecitationDownload::RecitationDownload() : shared_(new Shared) {}

RecitationDownload::~RecitationDownload() {
    cancel();
    wait(5000);
    if (worker_) CloseHandle(worker_);
    shared_->release();
}

bool RecitationDownload::start(const RecitationDownloadRequest& request, HWND notify,
                               UINT message) {
    if (running() || !shared_->cancelEvent) return false;
    if (worker_) CloseHandle(worker_);
    worker_ = nullptr;
    // A worker of an earlier download that was left behind keeps the old shared state.
    shared_->release();
    shared_ = new Shared;
    if (!shared_->cancelEvent) return false;
    shared_->request = request;
    shared_->notify = notify;
    shared_->message = message;
    shared_->addReference();
    worker_ = CreateThread(nullptr, 0, downloadThread, shared_, 0, nullptr);
    if (!worker_) {
        shared_->release();
        return false;
    }
    return true;
}

void RecitationDownload::cancel() {
    if (!shared_->cancelEvent) return;
    SetEvent(shared_->cancelEvent.get());
}

bool RecitationDownload::wait(DWORD ms) {
    return !worker_ || WaitForSingleObject(worker_, ms) == WAIT_OBJECT_0;
}

bool RecitationDownload::running() const {
    return worker_ && WaitForSingleObject(worker_, 0) == WAIT_TIMEOUT;
}

RecitationDownloadProgress RecitationDownload::progress() const {
    EnterCriticalSection(&shared_->lock);
    RecitationDownloadProgress copy = shared_->progress;
    LeaveCriticalSection(&shared_->lock);
    return copy;
}

int countAyahFiles(const std::string& utf8Folder, int (*ayahCount)(int surah)) {
    unsigned long long bytes = 0;
    return measureAyahFiles(utf8Folder, ayahCount, &bytes);
}

int measureAyahFiles(const std::string& utf8Folder, int (*ayahCount)(int surah),
                     unsigned long long* bytes) {
    *bytes = 0;
    if (utf8Folder.empty() || !ayahCount) return 0;
    std::vector<bool> seen(115 * 1000, false);
    int count = 0;
    listFolder(wideFromUtf8(utf8Folder.c_str()), [&](const std::string& name,
                                                     const WIN32_FIND_DATAW& found) {
        AyahOfSurah ayah{};
        if (!parseAyahFileName(name.c_str(), ayahCount, &ayah)) return;
        const size_t slot = static_cast<size_t>(ayah.surah) * 1000 + ayah.ayah;
        if (seen[slot]) return;
        seen[slot] = true;
        ++count;
        *bytes += (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    });
    return count;
}

int deleteAyahFiles(const std::string& utf8Folder, int (*ayahCount)(int surah), bool removeFolder) {
    if (utf8Folder.empty() || !ayahCount) return 0;
    const std::wstring folder = wideFromUtf8(utf8Folder.c_str());
    std::vector<std::wstring> doomed;
    listFolder(folder, [&](const std::string& name, const WIN32_FIND_DATAW& found) {
        if (parseAyahFileName(name.c_str(), ayahCount, nullptr) ||
            isPartialAyahFileName(name.c_str()))
            doomed.push_back(joinPath(folder, "") + found.cFileName);
    });
    int failed = 0;
    for (const std::wstring& path : doomed)
        if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) ++failed;
    if (removeFolder) RemoveDirectoryW(folder.c_str()); // stays when the user keeps more there
    return failed;
}
