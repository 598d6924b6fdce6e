#include "printing/pictures.h"

#include "common/cp1252.h"
#include "common/text.h"
#include "dialogs/messages.h"
#include "platform/printer/fault.h"
#include "platform/printer/picture.h"
#include "platform/printer/surface.h"
#include "printing/page_engine.h"
#include "settings/open_file.h"

namespace kvor::printing {

namespace {

constexpr int kBadPicture = 481;  // the number the error report gives a picture it cannot load

void LoadByRole(Context& ctx, const std::string& name, int16_t& err) {
  const std::string path = DataFolder(ctx) + "BILDER\\" + name + ".BMP";
  ctx.main.LblBfile->SetText(path);
  dialogs::DoEvents(ctx);
  LoadPicture(ctx, path, err);
}

}  // namespace

void LoadLogo(Context& ctx, int16_t& err) {
  LoadByRole(ctx, Fixed(ctx.frame.company_id, 3) + "LOGGA", err);
}

void LoadFootPicture(Context& ctx, const std::string& company, int16_t& err) {
  LoadByRole(ctx, company + "FOTEN", err);
}

void LoadPictureByName(Context& ctx, const std::string& name, int16_t& err) {
  LoadByRole(ctx, name, err);
}

void LoadPicture(Context& ctx, const std::string& path, int16_t& err) {
  int16_t exists = 0;
  settings::FileInformation(ctx, path, exists);
  if (exists != 0) {
    dialogs::ShowMessage(
        ctx, Paragraphs("Tilldelad BILD som BMP finns EJ på BILDER-katalogen!"_w, "Bild: " + path),
        dialogs::kError);
    err = 1;
    return;
  }
  // A picture is read once per program run: the page head and foot paint the same ones on
  // every page. A file replaced since (another change time or size) is read again.
  const std::string host = ctx.drives.ToHost(path);
  const files::FileInfo info = files::Inspect(host);
  const std::string stamp = host + "|" + info.changed + "|" + std::to_string(info.size);
  if (auto kept = ctx.print.loaded_pictures.find(stamp); kept != ctx.print.loaded_pictures.end()) {
    ctx.print.picture = kept->second;
    err = 0;
    return;
  }
  auto picture = std::make_shared<printer::Picture>();
  std::string why;
  if (!picture->Load(host, why)) {
    dialogs::ReportTrappedError(ctx, "Avsedd BILD-logga '" + path + "' kan EJ laddas!",
                                {ctx.frame.program_code, kBadPicture, why});
    err = 1;
    return;
  }
  ctx.print.loaded_pictures[stamp] = picture;
  ctx.print.picture = std::move(picture);
  err = 0;
}

void PaintPicture(Context& ctx, double x, double y, double width, double height, int16_t& err) {
  if (!ctx.print.picture) {
    ReportPrintFault(ctx, "PICTURE",
                     printer::Fault(printer::kInvalidValue, "Ingen bild är laddad"_w), err);
    return;
  }
  PrinterStep(ctx, "PAINT", err, [&](printer::Surface& s) {
    s.PaintPicture(*ctx.print.picture, x, y, width, height);
  });
}

void PaintLogo(Context& ctx, int16_t& err) {
  PaintPicture(ctx, 400, kLogoTop, 5000, kLogoHeight, err);
}

void PaintFootPicture(Context& ctx, int16_t& err) {
  Position(ctx, err);
  if (err == 0) PaintPicture(ctx, 450, ctx.print.position, 10700, kFootPictureHeight, err);
}

void PaintMarkingPicture(Context& ctx, int16_t& err) {
  Position(ctx, err);
  if (err == 0) PaintPicture(ctx, 5900, ctx.print.position, 1000, kMarkingPictureHeight, err);
}

}  // namespace kvor::printing
