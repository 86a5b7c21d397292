// The exception classes of the zip engine. Each carries only its message; the
// texts are the program's own resource strings, kept here once.
#pragma once

#include "platform/rtl/SysUtils.h"

namespace zip {

#define ZIP_EXCEPTION_CLASS(Name)                                                                                      \
    class Name : public Exception {                                                                                    \
    public:                                                                                                            \
        using Exception::Exception;                                                                                    \
    }

ZIP_EXCEPTION_CLASS(EBadZipFile);
ZIP_EXCEPTION_CLASS(EIncompleteZip);
ZIP_EXCEPTION_CLASS(ENotAZipFile);
ZIP_EXCEPTION_CLASS(EFatalUnzipError);
ZIP_EXCEPTION_CLASS(EUserCanceled);
ZIP_EXCEPTION_CLASS(EBiggerThanUncompressed);
ZIP_EXCEPTION_CLASS(ENotEnoughRoom);
ZIP_EXCEPTION_CLASS(ECantWriteUCF);
// A second operation started on an object while one runs (messages are processed meanwhile).
ZIP_EXCEPTION_CLASS(EZipBusy);
// Archives past the classic format's limits (no Zip64), and spanning onto removable disks.
ZIP_EXCEPTION_CLASS(EZipUnsupported);

#undef ZIP_EXCEPTION_CLASS

inline constexpr const char* SNotValidZip = "Not a valid zip file!";
inline constexpr const char* SIncompleteZip = "Incomplete Zip File";
inline constexpr const char* SPrematureEnd = "Premature end of file reached";
inline constexpr const char* SBiggerThanUncompressed = "File is larger than uncompressed size!";
inline constexpr const char* SNotEnoughRoom = "Not enough room to write archive";
inline constexpr const char* SCantWriteUCF = "Cant write uncompressed file";
inline constexpr const char* SUserCanceledZip = "User canceled Zip operation";
inline constexpr const char* SUserCanceledDestDir = "User canceled Set Desination Directory";
inline constexpr const char* SUserCanceledZipName = "User canceled setting zip file name.";
inline constexpr const char* SUserCanceledNewDisk = "User canceled loading new disk.";
inline constexpr const char* SNoConfigurationFile = "Unable to create Zip Configuration File to disk";
inline constexpr const char* SConfigurationFileNotSaved = "Unable to save Zip Configuration File to disk";
inline constexpr const char* SZipBusy = "The archive object is already busy with another operation";

} // namespace zip
