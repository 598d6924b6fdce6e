// The installation's settings files and the link area: DISKUNIT.DAT, LINKAREA.DAT, the settings
// value, LANGUAGE.DAT and COMPANYS.DAT. Every routine reports its own failure and sets the error
// indicator: 1 failed, 2 a missing optional file already announced.
#pragma once

#include <cstdint>
#include <string>

#include "core/context.h"
#include "settings/open_file.h"

namespace kvor::settings {

// Reads DISKUNIT.DAT into ctx.install and applies the mode rules.
void ReadDriveSettings(Context& ctx, int16_t& err);
// Reads LINKAREA.DAT into ctx.link and consumes it (the file is deleted).
void ReadLinkArea(Context& ctx, int16_t& err);
// Writes ctx.link to LINKAREA.DAT, every carried field as it came in.
void WriteLinkArea(Context& ctx, int16_t& err);
// Reads the per-user settings value STANDARD / KVOR / KOD.
void ReadRegistrySettings(Context& ctx, int16_t& err);
// Reads LANGUAGE.DAT; a missing file is announced and gives indicator 2.
void ReadLanguageTable(Context& ctx, int16_t& err);
// Tells that an identity carries a language code outside the table.
void TestLanguageCode(Context& ctx, const std::string& identity, const std::string& system_code,
                      const std::string& identity_kind, const std::string& code);
// Reads the company id from COMPANYS.DAT; on failure the company id of the link area stays.
void ReadCompanyIdentity(Context& ctx, int16_t& err);

// Today's date and the time of day into ctx.frame, from the clock: the start-up and the link area
// take them from here.
void RefreshDateAndTime(Context& ctx);

// The link area's six lines as written to the file.
std::string LinkAreaLine(const LinkArea& link, int line);

}  // namespace kvor::settings
