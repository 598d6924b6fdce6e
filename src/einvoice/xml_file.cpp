#include "einvoice/xml_file.h"

namespace kvor::einvoice {

void OpenXmlFile(Context&, const std::string&, const std::string&, int16_t& err) {
  err = 0;
}

void WriteHead(Context&, int16_t& err) {
  err = 0;
}

void WriteSpecificationRow(Context&, int16_t& err) {
  err = 0;
}

void WriteAdditionalRow(Context&, int16_t& err) {
  err = 0;
}

void CloseXmlFile(Context&, const std::string&, int16_t& err) {
  err = 0;
}

std::string XmlFileName(const Context&) {
  return {};
}

}  // namespace kvor::einvoice
