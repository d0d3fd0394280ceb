// A scratch folder of one test object: made fresh under the system's temp
// folder when constructed, removed with everything in it when destroyed.
// The name carries the process id and a per-process count, so tests running
// side by side (two checkouts, or ctest -j) never share or clash on one.
// Works the same in the native build and in the Windows builds under Wine.
#ifndef TESTS_SUPPORT_TEMP_FOLDER_H
#define TESTS_SUPPORT_TEMP_FOLDER_H

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

class TempFolder {
public:
#ifdef _WIN32
    static constexpr char separator = '\\';
#else
    static constexpr char separator = '/';
#endif

    explicit TempFolder(const std::string& tag = "tolvane") {
        static std::atomic<unsigned> made{0};
        const std::string base = systemtemp() + tag + "-" + std::to_string(processid()) + "-";
        // A leftover of an earlier process with the same id is never reused.
        for (int tries = 0; tries < 1000 && dir_.empty(); ++tries) {
            std::string candidate = base + std::to_string(made++);
            if (makefolder(candidate)) dir_ = candidate;
        }
        if (dir_.empty()) {
            std::fprintf(stderr, "TempFolder: cannot make a folder at %s*\n", base.c_str());
            std::abort();
        }
    }
    ~TempFolder() { removetree(dir_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, without a trailing separator.
    const std::string& dir() const { return dir_; }
    std::string path(const std::string& name) const { return dir_ + separator + name; }

    // A file of exactly these bytes in the folder; returns its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        std::string p = path(name);
        FILE* f = std::fopen(p.c_str(), "wb");
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return p;
    }

private:
#ifdef _WIN32
    static std::string systemtemp() {
        char base[MAX_PATH + 1] = {0};
        DWORD n = GetTempPathA(MAX_PATH, base);
        std::string s(base, n);
        if (s.empty() || (s.back() != '\\' && s.back() != '/')) s += '\\';
        return s;
    }
    static unsigned long processid() { return GetCurrentProcessId(); }
    static bool makefolder(const std::string& p) { return CreateDirectoryA(p.c_str(), nullptr) != 0; }
    static void removetree(const std::string& p) {
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((p + "\\*").c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                std::string child = p + "\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    removetree(child);
                } else {
                    SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(child.c_str());
                }
            } while (FindNextFileA(h, &found));
            FindClose(h);
        }
        RemoveDirectoryA(p.c_str());
    }
#else
    static std::string systemtemp() {
        const char* env = std::getenv("TMPDIR");
        std::string s = env && *env ? env : "/tmp";
        if (s.back() != '/') s += '/';
        return s;
    }
    static unsigned long processid() { return static_cast<unsigned long>(getpid()); }
    static bool makefolder(const std::string& p) { return mkdir(p.c_str(), 0700) == 0; }
    static void removetree(const std::string& p) {
        if (DIR* d = opendir(p.c_str())) {
            while (dirent* e = readdir(d)) {
                std::string name = e->d_name;
                if (name == "." || name == "..") continue;
                std::string child = p + "/" + name;
                struct stat st;
                if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                    removetree(child);
                else
                    unlink(child.c_str());
            }
            closedir(d);
        }
        rmdir(p.c_str());
    }
#endif

    std::string dir_;
};

#endif
