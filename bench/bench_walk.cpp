// bench_walk: the floor a listing program can reach on this machine. Walks a folder tree with a few
// threads sharing one queue of folders, reads each folder (readdir) and the details of each entry
// (statx, links not followed) and prints one line per entry, as `find -printf '%p %s %T@ %C@ %A@ %M\n'`
// does (the mode in octal). Nothing else: no sorting, no formatting beyond the line.
//
//   bench_walk [--threads N] DIR      (N defaults to 2)
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

class Walk {
public:
    explicit Walk(std::string root) { m_folders.push_back(std::move(root)); }

    void Worker() {
        std::string out;
        out.reserve(kFlushAt + 8192);
        std::string folder;
        while (Pop(folder)) {
            std::vector<std::string> subfolders;
            Read(folder, out, subfolders);
            Push(subfolders);
            if (out.size() >= kFlushAt)
                Flush(out);
        }
        Flush(out);
    }

private:
    static constexpr std::size_t kFlushAt = 1 << 16;

    static void Read(const std::string& folder, std::string& out, std::vector<std::string>& subfolders) {
        DIR* dir = opendir(folder.c_str());
        if (dir == nullptr)
            return;
        char line[160];
        while (const dirent* entry = readdir(dir)) {
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            struct statx st {};
            if (statx(dirfd(dir), name, AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &st) != 0)
                continue;
            const std::size_t pathStart = out.size();
            out += folder;
            out += '/';
            out += name;
            std::snprintf(line, sizeof line, " %llu %lld.%09u %lld.%09u %lld.%09u %o\n",
                          static_cast<unsigned long long>(st.stx_size),
                          static_cast<long long>(st.stx_mtime.tv_sec), st.stx_mtime.tv_nsec,
                          static_cast<long long>(st.stx_ctime.tv_sec), st.stx_ctime.tv_nsec,
                          static_cast<long long>(st.stx_atime.tv_sec), st.stx_atime.tv_nsec,
                          static_cast<unsigned>(st.stx_mode));
            out += line;
            if (S_ISDIR(st.stx_mode))
                subfolders.push_back(out.substr(pathStart, folder.size() + 1 + std::strlen(name)));
        }
        closedir(dir);
    }

    bool Pop(std::string& folder) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_folders.empty() || m_busy == 0; });
        if (m_folders.empty()) {
            m_changed.notify_all();
            return false;
        }
        folder = std::move(m_folders.back());
        m_folders.pop_back();
        ++m_busy;
        return true;
    }

    void Push(std::vector<std::string>& subfolders) {
        std::lock_guard lock(m_mutex);
        for (std::string& subfolder : subfolders)
            m_folders.push_back(std::move(subfolder));
        --m_busy;
        m_changed.notify_all();
    }

    void Flush(std::string& out) {
        std::lock_guard lock(m_outMutex);
        std::fwrite(out.data(), 1, out.size(), stdout);
        out.clear();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_folders;
    unsigned m_busy = 0;
    std::mutex m_outMutex;
};

} // namespace

int main(int argc, char** argv) {
    unsigned threads = 2;
    std::string root;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc)
            threads = static_cast<unsigned>(std::atoi(argv[++i]));
        else
            root = argv[i];
    }
    if (root.empty() || threads < 1) {
        std::fprintf(stderr, "Usage: bench_walk [--threads N] DIR\n");
        return 2;
    }
    Walk walk(root);
    std::vector<std::thread> pool;
    for (unsigned i = 0; i < threads; ++i)
        pool.emplace_back([&] { walk.Worker(); });
    for (std::thread& thread : pool)
        thread.join();
    return 0;
}
