// Who holds a port: every process's open descriptors are links in /proc/PID/fd that name
// the file they are open on.

#include <dirent.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

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
    const Dir proc(::opendir("/proc"));
    if (!proc) {
        return {};
    }
    while (const dirent* entry = ::readdir(proc.get())) {
        if (std::isdigit(static_cast<unsigned char>(entry->d_name[0])) == 0) {
            continue;
        }
        const std::string process = std::string("/proc/") + entry->d_name;
        if (holds(process, device)) {
            std::string name;
            std::getline(std::ifstream(process + "/comm"), name);
            if (!name.empty()) {
                return name;
            }
        }
    }
    return {};
}
