#pragma once

#include "ServiceBase.h"
#include "base/Identification.h"

namespace lanterna {

// Reads the device's identity, addresses, clock and tables 0 and 100 into the record. A failed
// step leaves its failure text in the record's description and ends the sequence.
bool IdentifyConnectedDevice(CServiceBase& service, tIdentification& record);

// The register count of a table from the device's table list; 0 when the table is not listed
// or the list cannot be read.
unsigned TableRegisterCount(CServiceBase& service, unsigned table);

}  // namespace lanterna
