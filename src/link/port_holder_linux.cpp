// Who holds a port: /proc/locks names the process of each lock by the device and inode of
// the locked file, and every process's open descriptors are links in /proc/PID/fd that name
// the file they are open on.

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "port_holder.h"

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

std::string linkTarget(const std::string& link) {
    char target[4096];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target);
    return n > 0 && static_cast<std::size_t>(n) < sizeof target
               ? std::string(target, static_cast<std::size_t>(n))
               : std::string();
}

std::string processName(const std::string& process) {
    std::string name;
    std::getline(std::ifstream(process + "/comm"), name);
    return name;
}

bool holds(const std::string& process, const std::string& device) {
    const std::string fds = process + "/fd";
    const Dir dir(::opendir(fds.c_str()));
    if (!dir) {
        return false;  // another user's process
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] != '.' && linkTarget(fds + "/" + entry->d_name) == device) {
            return true;
        }
    }
    return false;
}

// A line of /proc/locks: "1: FLOCK  ADVISORY  WRITE 4711 00:19:3 0 EOF", the file as
// major:minor (hexadecimal) of its file system and its inode; a waiter's line has "->"
// after the number and holds nothing.
std::string lockHolder(const struct stat& file) {
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, id;
        if (!(fields >> number >> kind >> mode >> access >> pid >> id) || kind == "->") {
            continue;
        }
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(id.c_str(), "%x:%x:%llu", &major, &minor, &inode) == 3 &&
            makedev(major, minor) == file.st_dev && inode == file.st_ino) {
            return processName("/proc/" + pid);
        }
    }
    return {};
}

}  // namespace

// The descriptors name the device by its real path, so the links that lead to it are
// followed first; nothing of another process is opened or examined beyond its links.
std::string portHolder(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        return {};
    }
    const std::string device = real;
    std::free(real);
    struct stat file {};
    if (::stat(device.c_str(), &file) == 0) {
        if (std::string holder = lockHolder(file); !holder.empty()) {
            return holder;
        }
    }
    const Dir proc(::opendir("/proc"));
    if (!proc) {
        return {};
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(proc.get())) {
        if (std::isdigit(static_cast<unsigned char>(entry->d_name[0])) == 0) {
            continue;
        }
        const std::string process = std::string("/proc/") + entry->d_name;
        if (holds(process, device)) {
            if (std::string name = processName(process);
                !name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(std::move(name));
            }
        }
    }
    std::string holders;
    for (const std::string& name : names) {
        holders += (holders.empty() ? "" : ", ") + name;
    }
    return holders;
}
