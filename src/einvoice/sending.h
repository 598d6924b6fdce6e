// Sending the e-invoice: the send button and the module PGPYTHON that runs the upload script.
#pragma once

#include "core/context.h"

namespace kvor::einvoice {}  // namespace kvor::einvoice
