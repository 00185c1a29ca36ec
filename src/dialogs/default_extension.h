#pragma once

#include <functional>
#include <string>
#include <string_view>

// The file dialogs' rule for the default extension (code page 1250, "zrd") of a file filter,
// on the chosen paths (UTF-8), the same in every front-end. A front-end's dialog returns
// the name as typed; an empty name (cancelled) stays empty.

// A name saved without an extension gets the default one.
std::string savedPath(std::string_view chosen, std::string_view extension);

// A file that exists opens under its own name, with an extension or without; only a name
// that does not exist as typed may mean the file with the default extension.
std::string openedPath(std::string_view chosen, std::string_view extension,
                       const std::function<bool(const std::string&)>& exists);
