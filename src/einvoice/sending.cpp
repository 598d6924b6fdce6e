#include "einvoice/sending.h"
