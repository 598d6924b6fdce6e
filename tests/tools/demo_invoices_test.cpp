// The sample invoices of kvor demo, read back from a freshly written installation: their sums,
// and the GLN of the e-invoice customer. That every invoice finds the records the print run reads
// is proved by printing them all.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "registers/admin.h"
#include "support/open_registers.h"

namespace kvor::test {
namespace {

using registers::FindLayout;

class DemoInvoices : public OpenRegisters {
 protected:
  std::string Get(const char* code, const std::string& key) {
    std::string record, error;
    EXPECT_TRUE(registers::GetRecord(ctx(), *FindLayout(code), key, record, error))
        << code << " " << key << error;
    return record;
  }
  std::vector<std::string> List(const char* code, const std::string& prefix) {
    std::vector<std::string> records;
    std::string error;
    EXPECT_TRUE(registers::ListRecords(ctx(), *FindLayout(code), prefix, records, error)) << error;
    return records;
  }
  static std::string Field(const char* code, const std::string& record, const char* name) {
    const registers::Field* f = FindLayout(code)->Find(name);
    EXPECT_NE(f, nullptr) << name;
    return f ? record.substr(f->position - 1, f->width) : "";
  }
  // An amount field in hundredths.
  static long long Cents(const char* code, const std::string& record, const char* name) {
    const std::string text = Field(code, record, name);
    return std::llround(std::stod(text.find_first_not_of(' ') == std::string::npos ? "0" : text) *
                        100);
  }
  // The sum of an amount field over records.
  static long long Total(const std::vector<std::string>& records, const char* code,
                         const char* name) {
    long long sum = 0;
    for (const std::string& r : records) sum += Cents(code, r, name);
    return sum;
  }
};

TEST_F(DemoInvoices, HeaderSumsAreTheRowsPlusVatAndRounding) {
  const char *H = "SVF-FTHD", *S = "SVF-FTSP", *A = "SVF-FTAP";
  const std::vector<std::string> headers = List(H, "001F");
  ASSERT_EQ(headers.size(), 14u);
  for (const std::string& h : headers) {
    SCOPED_TRACE(h.substr(0, 10));
    const std::vector<std::string> rows = List(S, h.substr(0, 10));
    for (const std::string& r : rows) {
      const double quantity = std::stod(Field(S, r, "FTSP_P213"));
      EXPECT_NEAR(Cents(S, r, "FTSP_P113") / 100.0, quantity * std::stod(Field(S, r, "FTSP_P047")),
                  0.0051);
      EXPECT_NEAR(Cents(S, r, "FTSP_P155"),
                  (Cents(S, r, "FTSP_P113") - Cents(S, r, "FTSP_P099")) * 0.25, 0.51);
    }
    const std::vector<std::string> extras = List(A, h.substr(0, 10));
    for (const std::string& r : extras)
      EXPECT_NEAR(Cents(A, r, "FTAP_P250") / 100.0,
                  std::stod(Field(A, r, "FTAP_P188")) * std::stod(Field(A, r, "FTAP_P205")),
                  0.0051);
    const long long net_v =
        Total(rows, S, "FTSP_P113") - Total(rows, S, "FTSP_P099") + Total(extras, A, "FTAP_P250");
    const long long net_f =
        Total(rows, S, "FTSP_P127") - Total(rows, S, "FTSP_P085") + Total(extras, A, "FTAP_P264");
    const long long vat_v = Total(rows, S, "FTSP_P155") + Total(extras, A, "FTAP_P292");
    const long long vat_f = Total(rows, S, "FTSP_P169") + Total(extras, A, "FTAP_P306");
    EXPECT_EQ(Cents(H, h, "AVDRAGVAL"), Total(rows, S, "FTSP_P099"));
    EXPECT_EQ(Cents(H, h, "AVDRAGFTG"), Total(rows, S, "FTSP_P085"));
    EXPECT_EQ(Cents(H, h, "NETTOVAL"), net_v);
    EXPECT_EQ(Cents(H, h, "NETTOFTG"), net_f);
    EXPECT_EQ(Cents(H, h, "MOMSVAL"), vat_v);
    EXPECT_EQ(Cents(H, h, "MOMSFTG"), vat_f);
    EXPECT_EQ(Cents(H, h, "TOTALVAL"), net_v + vat_v + Cents(H, h, "AVRUNDVAL"));
    EXPECT_EQ(Cents(H, h, "TOTALFTG"), net_f + vat_f + Cents(H, h, "AVRUNDFTG"));
    // Rounded to whole units in the invoice currency; a foreign currency's rounding is carried
    // over at the rate, so only the company's own currency has a whole company total.
    EXPECT_LE(std::abs(Cents(H, h, "AVRUNDVAL")), 50);
    if (Field(H, h, "VALKOD") == "SE") {
      EXPECT_EQ(Cents(H, h, "AVRUNDVAL"), 0);
      EXPECT_EQ(Cents(H, h, "TOTALFTG") % 100, 0);
    } else {
      EXPECT_EQ(Cents(H, h, "TOTALVAL") % 100, 0);
    }
    EXPECT_EQ(std::stoi(Field(H, h, "ANTALSPEC")), static_cast<int>(rows.size()));
    EXPECT_EQ(std::stoi(Field(H, h, "ANTALTILL")), static_cast<int>(extras.size()));
    EXPECT_EQ(Field(H, h, "MOMSSATS"), "25.00");
  }
}

// No run computes the GLN of the e-invoice customer, so its check digit is proved here.
TEST_F(DemoInvoices, TheEInvoiceCustomerHasAValidGln) {
  const std::string header = Get("SVF-FTHD", "001F241002");
  const std::string customer = Get("KRK-KUND", "001" + header.substr(25, 20));
  ASSERT_FALSE(customer.empty());
  EXPECT_EQ(Field("KRK-KUND", customer, "KUND_P409") + Field("KRK-KUND", customer, "KUND_P410"),
            "JH");
  const std::string extra = Get("KRK-XTRA", customer.substr(0, 23));
  ASSERT_GE(extra.size(), 253u);
  const std::string gln = extra.substr(240, 13);
  ASSERT_EQ(gln.find_first_not_of("0123456789"), std::string::npos) << gln;
  int sum = 0;
  for (int i = 0; i < 12; ++i) sum += (gln[i] - '0') * (i % 2 == 0 ? 1 : 3);
  EXPECT_EQ(gln[12] - '0', (10 - sum % 10) % 10) << gln;
}

}  // namespace
}  // namespace kvor::test
