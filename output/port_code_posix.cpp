#include "port_code_posix.h"

#include <netdb.h>

#include <cerrno>

namespace eds {

// It follows Wine's mapping, so a fault reads the same in the Windows build, except that a node
// with no port behind it (ENXIO, ENODEV) reads like a missing port. Socket errors take the
// Winsock codes a Windows program sees for them (10061 connection refused, ...).
TPortCode PortCodeFromErrno(int Error) {
    switch (Error) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return 2;
        case ENOTDIR:
        case ENAMETOOLONG:
        case ELOOP:
            return 3;
        case EMFILE:
        case ENFILE:
            return 4;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return 5;
        case EBADF:
            return 6;
        case ENOSPC:
            return 112;
        case EIO:
            return 21;
        case EBUSY:
            return 170;
        case EPIPE:
            return 232;
        case EADDRNOTAVAIL:
            return 10049;
        case ENETDOWN:
            return 10050;
        case ENETUNREACH:
            return 10051;
        case ECONNABORTED:
            return 10053;
        case ECONNRESET:
            return 10054;
        case ETIMEDOUT:
            return 10060;
        case ECONNREFUSED:
            return 10061;
        case EHOSTDOWN:
            return 10064;
        case EHOSTUNREACH:
            return 10065;
        default:
            return 31;
    }
}

TPortCode PortCodeFromResolver(int EaiError, int Error) {
    switch (EaiError) {
        case EAI_SYSTEM:
            return PortCodeFromErrno(Error);
        case EAI_AGAIN:
            return 11002;
        case EAI_NONAME:
        case EAI_NODATA:
        case EAI_ADDRFAMILY:
            return 11001;
        default:
            return 11003;
    }
}

}  // namespace eds
