// The main window MASTER: its controls with their names, captions and colours, laid out in twips,
// and the window's own state. The logic drives the controls through the members below; front
// ends draw the form.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/forms/forms.h"

namespace kvor {

// Colours of the main window and its buttons.
namespace colour {
inline constexpr forms::Color kWindow = 0xC0C0C0;
inline constexpr forms::Color kButtonOff = 0x959595;
inline constexpr forms::Color kDigitOn = 0xE0E0E0;
inline constexpr forms::Color kGoOn = 0xC0FFC0;    // done, print, send
inline constexpr forms::Color kStopOn = 0xFFC0C0;  // clear, cancel
inline constexpr forms::Color kExitOn = 0xFFFFC0;
inline constexpr forms::Color kPrinterListOff = 0x808080;
inline constexpr forms::Color kFieldOff = 0xD3D3D3;
inline constexpr forms::Color kFieldOn = 0xFFFFFF;
inline constexpr forms::Color kFieldBusy = 0xFFFFC0;
inline constexpr forms::Color kFieldDigit = 0xFFFF00;
inline constexpr forms::Color kFieldFocus = 0xFF0000;
inline constexpr forms::Color kListFocus = 0xFFFF00;
inline constexpr forms::Color kStatusText = 0x000080;
inline constexpr forms::Color kStatusStrip = 0xFFFFC0;
}  // namespace colour

// Fields of the main window that the selection, printing and sending logic share.
struct MasterState {
  int16_t error = 0;           // the window's error indicator
  std::string invoice_number;  // the 6-digit number being looked up
  std::string work_text;
  int16_t navigation_mode = 1;  // 1 invoice list, 2 printer list
  // Positions and counts are 32 bits: a register of many thousand invoices must not overflow them.
  int32_t list_position = 0, lower_bound = 0, upper_bound = 0;
  char first_step = '0';  // '1' once Up or Down was pressed after a reset
  int32_t unprinted_count = 0, printed_count = 0;
  int16_t einvoice_written = 0;
  int16_t send_ready = 0;  // cleared when a print run wrote no e-invoice
  std::string language_code;
};

struct MasterWindow {
  MasterWindow();
  MasterWindow(const MasterWindow&) = delete;
  MasterWindow& operator=(const MasterWindow&) = delete;

  static constexpr const char* kDesignedCaption = "TRV00381";
  static constexpr int kWidth = 12000;  // twips
  static constexpr int kHeight = 8400;

  forms::Form form{"MASTER"};
  MasterState state;

  forms::Control* TxtNmmr;
  forms::Control* CboNmmr;
  std::array<forms::Control*, 10> CmdNmr;
  forms::Control* CmdSudda;
  forms::Control* CmdSpara;
  forms::Control* CmdUpp;
  forms::Control* CmdNer;
  forms::Control* CboPrnt;
  forms::Control* CmdKlar;
  forms::Control* CmdSand;  // "CmdSänd"
  forms::Control* CmdBryt;
  forms::Control* CmdExit;
  forms::Control* CmdInfo;
  forms::Control* Command2;
  forms::Control* TidVisa;
  forms::Control* LblWaits;
  forms::Control* Mf;
  forms::Control* Mb;
  forms::Control* TxtUkod;
  forms::Control* RubText;
  forms::Control* PrinterBild;
  // Invoice data shown by the lookup, counts, e-invoice data, register type.
  forms::Control *LblKoden, *LblGrupp, *LblIdent, *LblLsnmr, *LblDatum, *LblSkod, *LblSats,
      *LblVkod, *LblKurs, *LblUkod, *LblPfkod, *LblCfkod;
  forms::Control *LblAntal, *LblKlara, *LblIndex, *LblEkod, *LblSpkod, *LblRtyp;
  // Further data labels.
  forms::Control *LblFtgid, *LblFnamn, *LblKnamn, *LblFtgln, *LblLkgln, *LblLasta, *LblLine,
      *LblPage, *LblVisas, *LblLkod, *LblBokat, *LblBfile;
  std::array<forms::Control*, 7> LblData;
  std::array<forms::Control*, 3> LblCode;  // LblCode1 to LblCode3

  // The digit buttons, clear, done, up, down, print, send, cancel and exit buttons.
  std::array<forms::Control*, 19> ActionButtons() const;
};

}  // namespace kvor
