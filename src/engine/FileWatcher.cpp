#include "engine/FileWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
constexpr std::uint32_t kFolderEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE;
}  // namespace

FileWatcher::~FileWatcher() {
    Stop();
}

bool FileWatcher::Watch(const std::vector<std::string>& roots, std::string& problem) {
    Stop();
    descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    buffer = std::make_unique<Events>();
    if (descriptor < 0) {
        problem = std::strerror(errno);
        return false;
    }
    const Clock::time_point now = Clock::now();
    for (const std::string& root : roots) {
        std::error_code error;
        if (fs::is_directory(root, error)) {
            AddFolder(root, now, false);
        }
    }
    return true;
}

void FileWatcher::Stop() {
    if (descriptor >= 0) {
        close(descriptor);
    }
    descriptor = -1;
    folders.clear();
    pending.clear();
    order.clear();
}

void FileWatcher::AddFolder(const std::string& folder, Clock::time_point now, bool reportFiles) {
    const int watch = inotify_add_watch(descriptor, folder.c_str(), kFolderEvents);
    if (watch < 0) {
        return;
    }
    folders[watch] = folder;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string path = folder + "/" + entry->path().filename().string();
        std::error_code kindError;
        if (entry->is_directory(kindError)) {
            AddFolder(path, now, reportFiles);
        } else if (reportFiles) {
            // Written into a folder before its watch existed (a folder copied in at once).
            Touch(path, now);
        }
    }
}

void FileWatcher::Touch(const std::string& path, Clock::time_point now) {
    if (!pending.contains(path)) {
        order.emplace(nextOrder++, path);
    }
    pending[path] = now;
}

void FileWatcher::ReadEvents(Clock::time_point now) {
    if (descriptor < 0) {
        return;
    }
    for (;;) {
        const ssize_t length = read(descriptor, buffer->data(), buffer->size());
        if (length <= 0) {
            return;
        }
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer->data() + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const auto folder = folders.find(event->wd);
            if (folder == folders.end() || event->len == 0) {
                continue;
            }
            const std::string path = folder->second + "/" + event->name;
            if ((event->mask & IN_ISDIR) != 0) {
                if ((event->mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
                    AddFolder(path, now, true);
                }
            } else if ((event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) != 0) {
                Touch(path, now);
            }
        }
    }
}

std::vector<std::string> FileWatcher::TakeChanges(Clock::time_point now) {
    ReadEvents(now);
    std::vector<std::string> settled;
    for (auto entry = order.begin(); entry != order.end();) {
        const auto written = pending.find(entry->second);
        if (now - written->second < kSettleTime) {
            ++entry;
            continue;
        }
        settled.push_back(entry->second);
        pending.erase(written);
        entry = order.erase(entry);
    }
    return settled;
}
