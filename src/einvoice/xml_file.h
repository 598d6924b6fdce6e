// Module EFTKNFIL: the e-invoice XML file that the print run writes in step with the first print.
//
// Not written yet: the routines below accept every call and write nothing, and kWritesXml tells
// the print run so; it then neither announces a file nor offers sending.
#pragma once

#include <cstdint>
#include <string>

#include "core/context.h"

namespace kvor::einvoice {

inline constexpr bool kWritesXml = false;

// Opens FAKTUROR\<identity>.XML for the document type ("F" invoice).
void OpenXmlFile(Context& ctx, const std::string& identity, const std::string& type, int16_t& err);
void WriteHead(Context& ctx, int16_t& err);
// One row part for the specification row or additional row in their register fields.
void WriteSpecificationRow(Context& ctx, int16_t& err);
void WriteAdditionalRow(Context& ctx, int16_t& err);
void CloseXmlFile(Context& ctx, const std::string& type, int16_t& err);
// The full name of the file last opened.
std::string XmlFileName(const Context& ctx);

}  // namespace kvor::einvoice
