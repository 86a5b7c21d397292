// The flag is set and cleared through the file system's own ioctl.
#include "tests/support/UndeletableFile.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <utility>

namespace {

bool SetImmutable(const std::string& FileName, bool On) {
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = On ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

} // namespace

TUndeletableFile::TUndeletableFile(std::string FileName) : FFileName(std::move(FileName)) {
    FHeld = SetImmutable(FFileName, true);
}

TUndeletableFile::~TUndeletableFile() {
    if (FHeld) SetImmutable(FFileName, false);
}
