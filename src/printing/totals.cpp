#include "printing/invoice_page.h"
