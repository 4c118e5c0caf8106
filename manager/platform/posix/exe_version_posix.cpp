#include "manager/exe_version.h"

// ELF programs carry no version resource.
QString ReadOwnExeVersion() {
    return QString();
}
