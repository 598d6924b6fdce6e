// Barcodes and pictures on the page, and a whole job on KVOR PDF read back by the tools a person
// would use: pdfinfo, pdftotext, pdftoppm and a barcode reader.
#include <filesystem>

#include "common/cp1252.h"
#include "platform/printer/recording.h"
#include "printing/barcodes.h"
#include "printing/pictures.h"
#include "printing/print_job.h"

namespace kvor::printing {
namespace {

using Graphics = PrintJob;

TEST_F(Graphics, TheInvoiceNumberPrintsAsEightCode39Characters) {
  ASSERT_EQ(Choose(kTest), 0);
  int16_t err = 0;
  BeginJob(ctx(), "S", err);
  StartPage(ctx(), err);
  Streckkod(ctx(), 3, "000123", err);
  EXPECT_EQ(err, 0);
  ASSERT_EQ(Job()->texts.size(), 1u);
  const printer::TextRun& bars = Job()->texts[0];
  EXPECT_EQ(bars.text, "*000123*");
  EXPECT_EQ(bars.font, "FREE 3 OF 9 REGULAR");
  EXPECT_EQ(bars.size, 40);
  EXPECT_FALSE(bars.bold);
  EXPECT_EQ(bars.column, 3);
  printer::Surface& s = Printer(ctx());
  EXPECT_EQ(s.FontName(), "COURIER NEW");  // put back for the rest of the head
  EXPECT_TRUE(s.FontBold());
  EXPECT_EQ(s.FontSize(), 10);
  EXPECT_GE(s.CurrentY(), 40 * 20);  // one 40-point line down

  Streckkod(ctx(), 3, "", err);  // nothing to print
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Job()->texts.size(), 1u);
  EXPECT_EQ(Messages(), "");
}

TEST_F(Graphics, AWorkstationWithoutTheBarcodeFontIsToldAndPrintsNoBars) {
  ctx().print.prepare_printers = [](printer::PrinterSet& s) {
    s.AddRecordingPrinter(kTest);
    s.HideFont("FREE 3 OF 9 REGULAR");
  };
  ASSERT_EQ(Choose(kTest), 0);
  int16_t err = 0;
  BeginJob(ctx(), "S", err);
  StartPage(ctx(), err);
  Streckkod(ctx(), 3, "000123", err);
  EXPECT_EQ(err, 1);
  EXPECT_TRUE(Job()->texts.empty());
  EXPECT_EQ(Printer(ctx()).FontName(), "COURIER NEW");
  EXPECT_EQ(Messages(),
            "message 3 Angiven FONT kan EJ tilldelas WINDOWS för KONTROLL-utskrift! ¶ Kontrollera "
            "FONTEN på C:\\WINDOWS\\FONTS-katalogen! ¶ Fontfilen: FREE 3 OF 9 REGULAR ¶ "
            "BkString: R\n");
}

TEST_F(Graphics, WrongBarcodeParametersAreTold) {
  ASSERT_EQ(Choose(kTest), 0);
  int16_t err = 0;
  SetUpBarcodeFont(ctx(), " 9 3", "R", err);
  EXPECT_EQ(err, 1);
  SetUpBarcodeFont(ctx(), "128", "R", err);
  EXPECT_EQ(ctx().print.barcode_font, "CODE 128");
  EncodeBarcode(ctx(), "000123", "R", "X", err);
  EXPECT_EQ(err, 1);
  EncodeBarcode(ctx(), "000123", "E", "N", err);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(ctx().print.barcode_text, "000123");
  EXPECT_EQ(Messages(),
            "message 3 Modulen BARCODES för STRECKKODER får FELAKTIG parameter! ¶ IdString: 093 ¶ "
            "BkString: R\n"
            "message 3 Modulen BARCODES för KALKYLERING får FELAKTIG parameter! ¶ PubBarCodes: "
            "128 ¶ BkString: R ¶ SkString: X\n");
}

TEST_F(Graphics, PicturesAreLoadedByRoleAndPaintedInTheirPlaces) {
  ASSERT_EQ(Choose(kTest), 0);
  int16_t err = 0;
  BeginJob(ctx(), "S", err);
  StartPage(ctx(), err);
  LoadLogo(ctx(), err);
  ASSERT_EQ(err, 0) << run.Lines();
  EXPECT_EQ(ctx().main.LblBfile->Text(), "C:\\KVOR   \\BILDER\\001LOGGA.BMP");
  PaintLogo(ctx(), err);
  SetPosition(ctx(), 9000, err);
  LoadFootPicture(ctx(), "001", err);
  PaintFootPicture(ctx(), err);
  LoadPictureByName(ctx(), "KD5630", err);
  PaintMarkingPicture(ctx(), err);
  EXPECT_EQ(err, 0);
  const auto& p = Job()->pictures;
  ASSERT_EQ(p.size(), 3u);
  auto place = [](const printer::PictureRun& r) {
    return std::to_string(int(r.x)) + "," + std::to_string(int(r.y)) + " " +
           std::to_string(int(r.width)) + "x" + std::to_string(int(r.height)) + " " +
           std::filesystem::path(r.source).filename().string();
  };
  EXPECT_EQ(place(p[0]), "400,200 5000x1000 001LOGGA.BMP");
  EXPECT_EQ(place(p[1]), "450,9000 10700x650 001FOTEN.BMP");
  EXPECT_EQ(place(p[2]), "5900,8850 1000x1000 KD5630.BMP");
  EXPECT_EQ(Messages(), "");
}

TEST_F(Graphics, AMissingOrDamagedPictureIsTold) {
  int16_t err = 0;
  LoadPictureByName(ctx(), "SAKNAS", err);
  EXPECT_EQ(err, 1);
  test::WriteFile(run.install.Host("C:\\KVOR\\BILDER\\TRASIG.BMP"), "BM not a picture");
  LoadPictureByName(ctx(), "TRASIG", err);
  EXPECT_EQ(err, 1);
  const std::string m = Messages();
  EXPECT_NE(m.find("message 3 Tilldelad BILD som BMP finns EJ på BILDER-katalogen! ¶ Bild: "
                   "C:\\KVOR   \\BILDER\\SAKNAS.BMP\n"),
            std::string::npos)
      << m;
  EXPECT_NE(m.find("Avsedd BILD-logga 'C:\\KVOR   \\BILDER\\TRASIG.BMP' kan EJ laddas!"),
            std::string::npos)
      << m;
}

// Runs a tool of the system and returns what it printed.
std::string Tool(const std::string& program, const std::vector<std::string>& args,
                 const std::string& dir) {
  const test::ProcessResult r = test::RunProgram("/usr/bin/" + program, args, dir);
  EXPECT_EQ(r.code, 0) << program << ": " << r.err;
  return r.out;
}

class KvorPdf : public PrintJob {
 protected:
  // Three pages: the logo, a line of text and the barcode on the first, a line on the others.
  void PrintThreePages() {
    int16_t err = 0;
    ctx().print.job_key = "001F000123";
    BeginJob(ctx(), "S", err);
    ASSERT_EQ(err, 0) << run.Lines();
    for (int page = 1; page <= 3; ++page) {
      if (page > 1) Sidbyte(ctx(), err);
      StartPage(ctx(), err);
      if (page == 1) {
        LoadLogo(ctx(), err);
        PaintLogo(ctx(), err);
        SetPosition(ctx(), 1600, err);
        Streckkod(ctx(), 3, "000123", err);
        ASSERT_EQ(err, 0) << run.Lines();
      }
      SetPosition(ctx(), 3000, err);
      Printer(ctx()).Print(3, "Faktura 000123", false);
      Printer(ctx()).Print(40, "Sida " + std::to_string(page) + " Växjö"_w, true);
    }
    Avsluta(ctx(), "FAKTURA", err);
    EXPECT_EQ(err, 0);
  }
};

TEST_F(KvorPdf, AJobReadsBackAsTextPictureAndBarcode) {
  ASSERT_EQ(Choose("KVOR PDF"), 0);
  PrintThreePages();
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(ctx().print.pdf_folder))
    files.push_back(e.path());
  ASSERT_EQ(files.size(), 1u);
  const std::string pdf = files[0].string();
  EXPECT_EQ(files[0].filename().string().rfind("FAKTURA-001F000123-", 0), 0u) << pdf;
  EXPECT_NE(Messages().find("är UTFÖRD med 3 sidor! ¶ Skrivare: KVOR PDF"), std::string::npos);

  const std::string dir = run.install.dir;
  const std::string info = Tool("pdfinfo", {pdf}, dir);
  EXPECT_NE(info.find("\nPages:           3\n"), std::string::npos) << info;
  const std::string text = Tool("pdftotext", {"-layout", "-f", "1", "-l", "1", pdf, "-"}, dir);
  EXPECT_NE(text.find("Faktura 000123"), std::string::npos) << text;
  EXPECT_NE(text.find("Sida 1 Växjö"), std::string::npos) << text;
  Tool("pdftoppm", {"-r", "300", "-f", "1", "-l", "1", "-singlefile", "-png", pdf, dir + "/page"},
       dir);
  EXPECT_EQ(Tool("zbarimg", {"-q", dir + "/page.png"}, dir), "CODE-39:000123\n");

  // The same job on the recording printer breaks its pages at the same rows.
  ctx().main.CboPrnt->SetText(kTest);
  int16_t err = 0;
  ApplyPrinterChoice(ctx(), err);
  PrintThreePages();
  ASSERT_NE(Job(), nullptr);
  EXPECT_EQ(Job()->pages, 3);
}

}  // namespace
}  // namespace kvor::printing
