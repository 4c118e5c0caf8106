#pragma once
// The fixed file version of the running program's own file, from its version
// resource, as "major.minor.release.build"; the empty text where the file has
// no version resource (an ELF program never has one).

#include <QString>

QString ReadOwnExeVersion();
