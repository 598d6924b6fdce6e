// Module OPENFILE: text files of the installation by file number, as every settings reader and the
// printer table use them. Each routine reports its own failure and sets the error indicator.
#pragma once

#include <cstdint>
#include <string>

#include "core/context.h"

namespace kvor::settings {

// Text files by file number. Mode "R", "W" (an existing file is deleted first) or "A".
void OpenTextFile(Context& ctx, int file_number, const std::string& mode, const std::string& path,
                  int16_t& err);
void CloseTextFile(Context& ctx, int file_number);  // 0 or less closes every file
void DeleteTextFile(Context& ctx, int file_number, const std::string& path, int16_t& err);
void CheckDrive(Context& ctx, const std::string& path, int16_t& err);
// Indicator 0 when the file exists, 2 when not, 1 for a path too short to be a file name.
files::FileInfo FileInformation(Context& ctx, const std::string& path, int16_t& err);
// The first line of drive + "\WINKVOR\SYSTEM\" + file name; indicator 1 when the file is empty.
std::string ReadFirstLine(Context& ctx, const std::string& drive, const std::string& file_name,
                          int file_number, int16_t& err);

// What went wrong while a reader worked through its file.
enum class Failure { Read, Incomplete, Write };

// The file error of a reader: what happened, the error and the module that read the file.
void ReportFileError(Context& ctx, Failure what, const std::string& path, const files::FileError& e,
                     const std::string& module);

}  // namespace kvor::settings
