// Barcodes and pictures on the page.
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
  EXPECT_EQ(Job()->texts[0].text, "*000123*");
  printer::Surface& s = Printer(ctx());
  EXPECT_EQ(s.FontName(), "COURIER NEW");  // put back for the rest of the head
  EXPECT_TRUE(s.FontBold());
  EXPECT_EQ(s.FontSize(), 10);
  EXPECT_GE(s.CurrentY(), 40 * 20);  // one 40-point line down
  Streckkod(ctx(), 3, "", err);      // nothing to print
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Job()->texts.size(), 1u);
  EXPECT_EQ(Messages(), "");
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

TEST_F(Graphics, PicturesAreLoadedByRoleAndPaintedInTheirPlacesOrTold) {
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
  EXPECT_EQ(place(p[2]), "5900,9000 1000x1000 KD5630.BMP");
  EXPECT_EQ(Messages(), "");

  // A missing or damaged picture is told.
  LoadPictureByName(ctx(), "SAKNAS", err);
  EXPECT_EQ(err, 1);
  test::WriteFile(run.install.Host("C:\\KVOR\\BILDER\\TRASIG.BMP"), "BM not a picture");
  LoadPictureByName(ctx(), "TRASIG", err);
  EXPECT_EQ(err, 1);
  const std::string m = Messages();
  EXPECT_EQ(m.rfind("message 3 Tilldelad BILD som BMP finns EJ på BILDER-katalogen! ¶ Bild: "
                    "C:\\KVOR   \\BILDER\\SAKNAS.BMP\n"
                    "message 3 Avsedd BILD-logga 'C:\\KVOR   \\BILDER\\TRASIG.BMP' kan EJ laddas!",
                    0),
            0u)
      << m;
}

}  // namespace
}  // namespace kvor::printing
