// A sample installation: the folder tree, settings files, link area and stand-ins for the suite's
// other programs, under DIR/C for drive C:.
#pragma once

#include <string>

#include "core/frame_state.h"

namespace kvor::demo {

// The link area the menu program leaves when it starts trv00381 (blank link data: number entry).
LinkArea MenuLinkArea(const std::string& invoice_number = "");

// Writes the link area into the installation as the menu program would.
bool WriteLinkArea(const std::string& dir, const LinkArea& link, std::string& error);

// Writes the whole sample installation into dir, its registers onto the register server when a
// URL is given. False with a message when something could not be written.
bool WriteInstallation(const std::string& dir, std::string& error,
                       const std::string& registers = "");

// Creates the 28 registers of the installation with their sample records, as files under dir or
// on the register server.
bool WriteRegisters(const std::string& dir, std::string& error, const std::string& registers = "");

// Host path of a file of the installation, given its Windows path ("C:\WINKVOR\...").
std::string HostPath(const std::string& dir, const std::string& windows_path);

// The log the suite's stand-in programs append a line to whenever they are started.
std::string StartedLog(const std::string& dir);

}  // namespace kvor::demo
