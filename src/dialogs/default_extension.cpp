#include "default_extension.h"

#include "code_page_1250.h"

namespace {

std::string withExtension(std::string_view path, std::string_view extension) {
    std::string named(path);
    named += '.';
    named += cp1250ToUtf8(extension);
    return named;
}

// As the file dialogs see it: text after the last dot of the last part of the path.
bool hasExtension(std::string_view path) {
    const std::size_t name = path.find_last_of("/\\");
    const std::string_view last = name == std::string_view::npos ? path : path.substr(name + 1);
    const std::size_t dot = last.rfind('.');
    return dot != std::string_view::npos && dot + 1 < last.size();
}

}  // namespace

std::string savedPath(std::string_view chosen, std::string_view extension) {
    if (chosen.empty() || hasExtension(chosen)) {
        return std::string(chosen);
    }
    return withExtension(chosen, extension);
}

std::string openedPath(std::string_view chosen, std::string_view extension,
                       const std::function<bool(const std::string&)>& exists) {
    const std::string path(chosen);
    if (path.empty() || exists(path)) {
        return path;
    }
    const std::string named = withExtension(path, extension);
    return exists(named) ? named : path;
}
