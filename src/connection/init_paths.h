#pragma once

#include <QString>
#include <optional>

namespace bl {

// The trace folder, ending with the path separator. On Windows it is the
// variable USERPROFILE followed by "\Documents\" (just "\Documents\" without
// the variable); elsewhere the user's documents folder as the desktop names
// it (the home folder's "Documents" unless the user's XDG settings say
// otherwise).
QString init_paths();

// The Windows rule on its own, for any value of USERPROFILE.
QString windows_doc_path(const std::optional<QString> &userprofile);

} // namespace bl
