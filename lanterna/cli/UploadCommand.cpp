// upload: a file to the device's update mode over the network, saved to its flash.
#include <iostream>
#include <string>

#include "Platform/Terminal.h"
#include "app/FirmwareUpload.h"
#include "cli/CliError.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/ConnectionChoice.h"
#include "cli/InputFile.h"
#include "cli/UploadProgress.h"

namespace lanterna::cli {

namespace {

// The file, checked before anything is sent: it must hold something and fit one request of
// the framed protocol together with the upload's command.
std::string UploadData(const std::string& file) {
  std::string data = ReadInputFile(file, kMaxUploadBytes,
                                   "is too large for one upload: at most " + std::to_string(kMaxUploadBytes) +
                                       " bytes go in " + std::to_string(kMaxUploadFragments) + " fragments");
  if (data.empty()) throw CBadInput(file + " is empty; there is nothing to upload");
  return data;
}

void RequireNetworkConnection(const CliOptions& options) {
  if (!ParseConnection(options.connection).IsNetwork())
    throw CBadInput("upload goes over the network only: give --connection TCPIP:<host>[:<port>] or SIMTCP");
}

}  // namespace

int RunUpload(const CliOptions& options) {
  RequireOperands(options, 1, 1, "upload FILE [--yes]");
  RequireNetworkConnection(options);
  const std::string& file = options.operands[0];
  const std::string data = UploadData(file);
  const Confirmation confirmation{"upload", "The file will be uploaded to the connected device and saved to its flash."};
  RequireAnswerable(options, confirmation);

  CDeviceSession session(options);
  if (!Confirmed(options, confirmation)) throw CBadInput("cancelled; nothing was done");

  std::cerr << "Uploading " << file << " (" << data.size() << " bytes) to " << session.Port() << " ...\n";
  CUploadProgress progress(std::cerr, fennec::platform::StandardErrorIsTerminal());
  const UploadOutcome outcome =
      UploadFirmware(session.Program().Connection(), data, [&](unsigned percent) { progress.Show(percent); });
  progress.Finish();
  if (!outcome.identification.empty()) std::cerr << "The device's update mode: " << outcome.identification << "\n";

  Json result{{"identification", outcome.identification}, {"bytes", data.size()}};
  result["save_state"] = outcome.saveState ? Json(*outcome.saveState) : Json(nullptr);
  if (!outcome.succeeded) {
    CliFailure failure = session.DirectFailure(outcome.failureText);
    failure.code = outcome.failureCode;
    return Failed(options, failure, result);
  }
  std::cerr << "The file was uploaded and saved to the device's flash.\n";
  if (options.json) PrintJsonSuccess(result);
  return kExitSuccess;
}

}  // namespace lanterna::cli
