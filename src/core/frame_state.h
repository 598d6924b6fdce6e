// The program-wide state, created before the main window is shown and kept until the program
// ends. The start-up fills it; every module reads it through the program context.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kvor {

struct FrameState {
  std::string program_code;  // executable name in upper case, 8 characters ("TRV00381")
  std::string program_path;  // the executable's folder, upper case
  std::string window_title;  // designed caption + " · KVOR · " + release date
  std::string system_drive;  // "C:"
  char system_drive_letter = 'C';
  // Today and now, refreshed at start-up and when the link area is read.
  std::string date, date_compact, year, month, day;  // "YYYY-MM-DD", "YYYYMMDD", ...
  std::string time, time_compact, hour, minute;      // "HH:MM:SS", "HHMMSS", ...
  int16_t idle_counter = 0;
  int16_t idle_limit = 240;  // ticks of one second before the program leaves by itself
  int16_t events_suppressed =
      1;  // while 1 the main window's change, focus and key handlers do nothing
  int16_t close_permitted = 0;     // set to 1 only by the program's own end routine
  int16_t print_busy = 0;          // 1 while a print run is under way
  int16_t stop = 0;                // set by the cancel question of a print run
  int16_t stop_ran_exit = 0;       // 1 once the stop procedure ran the exit routine in its place
  int32_t invoice_list_count = 0;  // 32 bits, as the list positions
  int16_t window_width = 0, window_height = 0;  // as laid out; the window keeps this size
  bool file_system_ready = false;
  std::string company_id;                // 3 characters
  std::string owner_short_name;          // 4 characters; "KVOR" when blank
  std::string called_by_own_name = "N";  // "J" when the caller addressed this program by name
  int16_t closing_answer = 0;            // the answer to the closing question (6 yes, 7 no)
};

// The call parameters of LINKAREA.DAT: read at start-up, written back before another program of
// the suite is started. Fields marked "carried" are written back exactly as they were read.
struct LinkArea {
  std::string date_written, time_written;  // 10 and 8
  std::string calling_program;             // 8: the code of the program that wrote the file
  std::string program_to_start;            // 8
  std::string text_a, code_a, flag_a;      // carried: 30, 3, 1
  std::string system_code;                 // 3: system of the program to start ("TRV")
  std::string owner_short_name;            // 4
  std::string text_b, flag_b, code_b;      // carried: 30, 1, 3
  std::string company_id;                  // 3
  std::string link_data;                   // 60: the call argument; first 6 = invoice number
  std::string flag_c, code_c;              // carried: 1, 3
  std::string return_kind;                 // 1: "U", "T" or "H"
  std::string tail;                        // carried: the rest of line 3
  std::string program_addressed;           // 8: the program the writer meant to start
  std::string link_text;                   // line 4 up to the first "/"
  int16_t int1 = 0, int2 = 0;              // carried numbers of line 4
  float single1 = 0, single2 = 0;
  double double1 = 0, double2 = 0;
  std::string char1, char2;    // carried 1-character fields of line 4
  std::string code_d, code_e;  // carried: lines 5 and 6
};

// The installation's folders and settings: DISKUNIT.DAT, the per-user settings value,
// LANGUAGE.DAT and COMPANYS.DAT.
struct Installation {
  std::string text, mode, code;                        // line 1: 10, 1 ("A" or "N"), 3
  std::string program_drive, data_drive, third_drive;  // "C:"
  std::string program_folder, data_folder;             // 7 characters each, blanks included
  std::string note;                                    // line 7, 12 characters
  std::string shared_drive_a, shared_drive_n;          // line 8
  std::string shared_drive;                            // the one of them that the mode chooses
  std::string first_flag = "*", last_flag = "*";       // line 9, "*" when the line is missing
  // The settings value.
  std::string separator_kind = "SKV", installation_kind = "ISP";
  std::string settings_flag = "N", script_window = "N";  // script window visible: "J"/"N"
  std::string list_separator = ";";
  // The host's Python interpreter that runs the installation's scripts in place of PYTHON.EXE.
  std::string python_interpreter = "python3";
  // Language names by code 0 to 9, upper case without blanks.
  std::array<std::string, 10> languages;
  int16_t language_count = 0;
  int16_t highest_language = 0;
  std::string highest_language_text = "0";
  std::string email_identity, email_extra;  // rest of COMPANYS.DAT's first line
};

// The message state, shared by the message window, the question window and the status line.
struct MessageState {
  std::string buffer;               // where callers and the error report compose a message
  std::string text;                 // the text the message window shows
  std::string last_shown;           // the text of the last message shown, for the stop procedure
  int16_t kind = 0;                 // 1 to 4
  int16_t answer = 0;               // 0 [STÄNG], 1 [AVBRYT]; the question window writes 6, 7 or 2
  std::string status_text;          // what belongs on the status line once a message is gone
  int16_t wait_flag = 0;            // 1 while the waiting state is shown
  int16_t close_button_wanted = 0;  // question window: 1 shows [STÄNG] too
  int16_t preselected = 1;          // question window: 1 [JA], 2 [NEJ], 3 [STÄNG]
};

}  // namespace kvor
