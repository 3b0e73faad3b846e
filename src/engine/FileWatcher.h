#pragma once

// Which files below some folders were written, from the kernel's file notifications (inotify):
// every folder below the roots is watched, folders made later too, and reading the notifications
// is one non-blocking read per call, whatever the number of files. A file counts as changed once
// it has been closed after writing or moved into place (how editors save: write a temporary file,
// then rename it over the old one), and is reported once its writes have settled, so a file
// saved in several steps is read once, whole.

#include <array>
#include <chrono>
#include <cstddef>
#include <memory>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

class FileWatcher {
public:
    using Clock = std::chrono::steady_clock;
    // How long a file must stay untouched before it is reported.
    static constexpr std::chrono::milliseconds kSettleTime{150};

    FileWatcher() = default;
    ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // Starts watching `roots` (folders; links to folders are followed). False, with the reason in
    // `problem`, when the notifications cannot be had; a root that does not exist is skipped.
    bool Watch(const std::vector<std::string>& roots, std::string& problem);
    void Stop();
    bool Watching() const { return descriptor >= 0; }

    // Paths (as the root was given, joined with '/') written and settled by `now`, each once,
    // in the order they were first written.
    std::vector<std::string> TakeChanges(Clock::time_point now = Clock::now());

private:
    void ReadEvents(Clock::time_point now);
    void AddFolder(const std::string& folder, Clock::time_point now, bool reportFiles);
    void Touch(const std::string& path, Clock::time_point now);

    // Room for many events per read; each is a header and a name of at most NAME_MAX bytes.
    // Made once per watch, so the per-update read touches no allocator.
    static constexpr std::size_t kReadBufferSize = 64 * 1024;
    struct alignas(8) Events : std::array<char, kReadBufferSize> {};
    std::unique_ptr<Events> buffer;
    int descriptor = -1;
    std::unordered_map<int, std::string> folders;
    // Path -> when it was last written; `order` keeps first-write order.
    std::unordered_map<std::string, Clock::time_point> pending;
    std::map<std::uint64_t, std::string> order;
    std::uint64_t nextOrder = 0;
};
