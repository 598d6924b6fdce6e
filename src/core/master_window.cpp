#include "core/master_window.h"

#include "common/cp1252.h"

namespace kvor {

using forms::Control;
using forms::Kind;
using forms::Rect;

namespace {

constexpr int kRow = 350;  // height of one line of the data panel
constexpr int kTop = 780;  // first line of the data panel
constexpr int kLeftCaption = 120, kLeftValue = 1500;
constexpr int kLeftEnd = 5280;  // right edge of the widest boxes of the left half
constexpr int kRightCaption = 5520, kRightValue = 7260;
constexpr int kPadLeft = 9300;  // digit pad and navigation buttons
constexpr int kButton = 780, kButtonHigh = 480, kGap = 60;

int RowTop(int row) {
  return kTop + row * kRow;
}

// A data label: sunken white box in the data panel.
Control* Data(forms::Form& f, std::string_view name, int left, int row, int width, int index = -1) {
  Control& c =
      f.Add(Kind::Label, std::string(name), Rect{left, RowTop(row), width, kRow - 45}, {}, index);
  c.SetBackColor(0xFFFFFF);
  c.SetFont({"Courier New", 9, false});
  return &c;
}

// A fixed caption on the window's background.
void CaptionAt(forms::Form& f, int& serial, std::string_view text, Rect r) {
  Control& c = f.Add(Kind::Label, "Label" + std::to_string(++serial), r, text);
  c.SetBackColor(colour::kWindow);
}

void Caption(forms::Form& f, int& serial, std::string_view text, int left, int row,
             int width = kLeftValue - kLeftCaption - 60) {
  CaptionAt(f, serial, text, Rect{left, RowTop(row), width, kRow - 45});
}

}  // namespace

MasterWindow::MasterWindow() {
  forms::Form& f = form;
  f.SetCaption(kDesignedCaption);
  f.SetGeometry(Rect{0, 0, kWidth, kHeight});
  f.SetBackColor(colour::kWindow);
  int serial = 0;

  RubText = &f.Add(Kind::Label, "RubText", Rect{120, 120, 6600, 480}, " Utskrifta KundFaktura!");
  RubText->SetFont({"MS Sans Serif", 14, true});
  RubText->SetBackColor(colour::kWindow);
  RubText->SetForeColor(0x000080);
  LblWaits = &f.Add(Kind::Label, "LblWaits", Rect{kWidth - 1020, 180, 900, 360});
  LblWaits->SetBackColor(colour::kWindow);
  LblWaits->SetFont({"MS Sans Serif", 12, true});

  // Left half: company, invoice, specification and customer.
  Caption(f, serial, "Företag:"_w, kLeftCaption, 0);
  LblFtgid = Data(f, "LblFtgid", kLeftValue, 0, 600);
  LblFnamn = Data(f, "LblFnamn", kLeftValue + 660, 0, kLeftEnd - kLeftValue - 660);
  Caption(f, serial, "Faktura:"_w, kLeftCaption, 1);
  TxtNmmr = &f.Add(Kind::TextBox, "TxtNmmr", Rect{kLeftValue, RowTop(1) - 15, 1080, kRow});
  TxtNmmr->SetFont({"Courier New", 10, true});
  Caption(f, serial, "Välj:"_w, kLeftValue + 1200, 1, 480);
  CboNmmr = &f.Add(Kind::ComboBox, "CboNmmr",
                   Rect{kLeftValue + 1680, RowTop(1) - 15, kLeftEnd - kLeftValue - 1680, kRow});
  CboNmmr->SetFont({"Courier New", 9, false});
  Caption(f, serial, "Specifikation:"_w, kLeftCaption, 2);
  LblLsnmr = Data(f, "LblLsnmr", kLeftValue, 2, 1080);
  LblDatum = Data(f, "LblDatum", kLeftValue + 1200, 2, 1380);
  Caption(f, serial, "Kund:"_w, kLeftCaption, 3);
  LblIdent = Data(f, "LblIdent", kLeftValue, 3, 2100);
  Caption(f, serial, "Namn:"_w, kLeftCaption, 4);
  LblKnamn = Data(f, "LblKnamn", kLeftValue, 4, kLeftEnd - kLeftValue);
  Caption(f, serial, "Kundgrupp:"_w, kLeftCaption, 5);
  LblGrupp = Data(f, "LblGrupp", kLeftValue, 5, 600);
  Caption(f, serial, "Landskod:"_w, kLeftValue + 720, 5, 1080);
  LblKoden = Data(f, "LblKoden", kLeftValue + 1860, 5, 480);
  Caption(f, serial, "Skatt:"_w, kLeftCaption, 6);
  LblSkod = Data(f, "LblSkod", kLeftValue, 6, 300);
  LblSats = Data(f, "LblSats", kLeftValue + 360, 6, 840);
  Caption(f, serial, "Valutakurs:"_w, kLeftCaption, 7);
  LblVkod = Data(f, "LblVkod", kLeftValue, 7, 600);
  LblKurs = Data(f, "LblKurs", kLeftValue + 660, 7, 1080);
  Caption(f, serial, "Språk:"_w, kLeftCaption, 8);
  LblSpkod = Data(f, "LblSpkod", kLeftValue, 8, 300);
  Caption(f, serial, "E-faktura:"_w, kLeftValue + 420, 8, 1080);
  LblEkod = Data(f, "LblEkod", kLeftValue + 1500, 8, 300);
  Caption(f, serial, "GLN-kod:"_w, kLeftCaption, 9);
  LblFtgln = Data(f, "LblFtgln", kLeftValue, 9, 1560);
  LblLkgln = Data(f, "LblLkgln", kLeftValue + 1680, 9, 1560);
  Caption(f, serial, "Leveransadress:"_w, kLeftCaption, 10);
  for (int i = 0; i < 4; ++i)
    LblData[i] = Data(f, "LblData", kLeftValue, 10 + i, kLeftEnd - kLeftValue, i);
  Caption(f, serial, "Koder:"_w, kLeftCaption, 14);
  for (int i = 0; i < 3; ++i)
    LblCode[i] = Data(f, "LblCode" + std::to_string(i + 1), kLeftValue + i * 660, 14, 600);

  // Right half: print settings, certification and progress.
  Caption(f, serial, "Registreringstyp:"_w, kRightCaption, 0, 1680);
  LblRtyp = Data(f, "LblRtyp", kRightValue, 0, 300);
  Caption(f, serial, "Nyutskrift:"_w, kRightCaption, 1, 1680);
  LblUkod = Data(f, "LblUkod", kRightValue, 1, 300);
  Caption(f, serial, "Utskrift:"_w, kRightCaption, 2, 1680);
  TxtUkod = &f.Add(Kind::TextBox, "TxtUkod", Rect{kRightValue, RowTop(2) - 15, 360, kRow});
  Caption(f, serial, "PEFC/FSC-kod:"_w, kRightCaption, 3, 1680);
  LblPfkod = Data(f, "LblPfkod", kRightValue, 3, 300);
  Caption(f, serial, "Certifiering:"_w, kRightCaption, 4, 1680);
  LblCfkod = Data(f, "LblCfkod", kRightValue, 4, 300);
  Caption(f, serial, "Företagsnamn:"_w, kRightCaption, 5, 1680);
  LblData[4] = Data(f, "LblData", kRightValue, 5, 300, 4);
  Caption(f, serial, "Företagslogga:"_w, kRightCaption, 6, 1680);
  LblLkod = Data(f, "LblLkod", kRightValue, 6, 300);
  Caption(f, serial, "Företagsuppgifter:"_w, kRightCaption, 7, 1680);
  LblData[5] = Data(f, "LblData", kRightValue, 7, 300, 5);
  Caption(f, serial, "Kopior:"_w, kRightCaption, 8, 1680);
  LblData[6] = Data(f, "LblData", kRightValue, 8, 300, 6);
  Caption(f, serial, "Bearbetas:"_w, kRightCaption, 9, 1680);
  LblAntal = Data(f, "LblAntal", kRightValue, 9, 540);
  LblKlara = Data(f, "LblKlara", kRightValue + 600, 9, 540);
  LblIndex = Data(f, "LblIndex", kRightValue + 1200, 9, 540);
  Caption(f, serial, "Utskrift:"_w, kRightCaption, 10, 1680);
  LblVisas = Data(f, "LblVisas", kRightValue, 10, 1740);
  Caption(f, serial, "Lästa:"_w, kRightCaption, 11, 1680);
  LblLasta = Data(f, "LblLästa"_w, kRightValue, 11, 540);
  LblLine = Data(f, "LblLine", kRightValue + 600, 11, 540);
  LblPage = Data(f, "LblPage", kRightValue + 1200, 11, 540);
  LblBokat = Data(f, "LblBokat", kRightValue, 12, 300);
  LblBfile = Data(f, "LblBfile", kRightValue + 360, 12, 1380);
  Caption(f, serial, "(E-faktura)"_w, kRightCaption, 13, 1680);
  Caption(f, serial, "Notera om KundFakturan har uppgift om E-fakturering!"_w, kRightCaption, 14,
          kWidth - 120 - kRightCaption);

  // Digit pad: 7 8 9 / 4 5 6 / 1 2 3 / Rensa 0 Klart.
  Caption(f, serial, "Tryck [0] till [9] för FakturaNummer!"_w, kPadLeft - 60, 0, 2640);
  const int pad_top = RowTop(1);
  auto pad = [&](int col, int row) {
    return Rect{kPadLeft + col * (kButton + kGap), pad_top + row * (kButtonHigh + kGap), kButton,
                kButtonHigh};
  };
  for (int d = 1; d <= 9; ++d)
    CmdNmr[d] = &f.Add(Kind::Button, "CmdNmr", pad((d - 1) % 3, 2 - (d - 1) / 3),
                       "[" + std::to_string(d) + "]", d);
  CmdNmr[0] = &f.Add(Kind::Button, "CmdNmr", pad(1, 3), "[0]", 0);
  CmdSudda = &f.Add(Kind::Button, "CmdSudda", pad(0, 3), "Rensa");
  CmdSpara = &f.Add(Kind::Button, "CmdSpara", pad(2, 3), "Klart");
  Rect up = pad(0, 4), down = pad(1, 4);
  up.width = down.width = kButton + kGap / 2 + kButton / 2;
  down.left = up.left + up.width + kGap;
  CmdUpp = &f.Add(Kind::Button, "CmdUpp", up);
  CmdUpp->SetPicture("arrow-up");
  CmdNer = &f.Add(Kind::Button, "CmdNer", down);
  CmdNer->SetPicture("arrow-down");

  // Printer, print, send, cancel and exit along the bottom.
  const int printer_top = RowTop(15) + kRow / 2;
  PrinterBild = &f.Add(Kind::PictureBox, "PrinterBild", Rect{kLeftCaption, printer_top, 480, 480});
  PrinterBild->SetPicture("printer");
  CboPrnt = &f.Add(Kind::ComboBox, "CboPrnt",
                   Rect{kLeftCaption + 600, printer_top + 60, kLeftEnd - kLeftCaption - 600, kRow});
  const int buttons_top = RowTop(17) + 240;
  auto bottom = [&](int i) { return Rect{kLeftCaption + i * 1500, buttons_top, 1380, 540}; };
  // The hint to the send button stands on the button row, between AvBryt and ÅTER.
  CaptionAt(f, serial, "Tryck SkickaKnappen för att överföra KundFakturan som E-faktura!"_w,
            Rect{bottom(3).left, buttons_top + (540 - (kRow - 45)) / 2,
                 kWidth - 1500 - 120 - bottom(3).left, kRow - 45});
  CmdKlar = &f.Add(Kind::Button, "CmdKlar", bottom(0), "OK");
  CmdSand = &f.Add(Kind::Button, std::string("CmdSänd"_w), bottom(1), "&Skicka");
  CmdBryt = &f.Add(Kind::Button, "CmdBryt", bottom(2), "AvBryt");
  CmdInfo = &f.Add(Kind::Button, "CmdInfo",
                   Rect{kPadLeft + 2 * (kButton + kGap), printer_top, kButton, kButtonHigh}, "!");
  Command2 = &f.Add(Kind::Button, "Command2",
                    Rect{kPadLeft, printer_top, 2 * kButton + kGap, kButtonHigh});
  CmdExit = &f.Add(Kind::Button, "CmdExit", Rect{kWidth - 1500, buttons_top, 1380, 540}, "ÅTER"_w);
  for (Control* b : {CmdKlar, CmdSand, CmdBryt, CmdExit}) b->SetFont({"MS Sans Serif", 10, true});

  // Status line along the bottom edge.
  Mb = &f.Add(Kind::Label, "Mb", Rect{0, kHeight - 450, kWidth, 450});
  Mb->SetBackColor(colour::kStatusStrip);
  Mf = &f.Add(Kind::Label, "Mf", Rect{120, kHeight - 375, kWidth - 240, 300});
  Mf->SetTransparent(true);  // the text lies on the strip Mb, whose colour tells the state
  Mf->SetForeColor(colour::kStatusText);
  Mf->SetFont({"MS Sans Serif", 9, true});

  TidVisa = &f.Add(Kind::Timer, "TidVisa", Rect{});
  TidVisa->SetEnabled(false);
}

std::array<Control*, 19> MasterWindow::ActionButtons() const {
  return {CmdNmr[0], CmdNmr[1], CmdNmr[2], CmdNmr[3], CmdNmr[4], CmdNmr[5], CmdNmr[6],
          CmdNmr[7], CmdNmr[8], CmdNmr[9], CmdSudda,  CmdSpara,  CmdUpp,    CmdNer,
          CmdKlar,   CmdSand,   CmdBryt,   CmdExit,   CboPrnt};
}

}  // namespace kvor
