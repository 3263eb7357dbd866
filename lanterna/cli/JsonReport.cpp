#include <nlohmann/json.hpp>

#include "cli/DeviceReport.h"
#include "cli/ParameterList.h"

namespace lanterna::cli {

namespace {

Json IdentificationJson(const tIdentification& identification, const std::string& clockState) {
  return Json{{"order_number", identification.orderNumber},
              {"description", identification.description},
              {"hardware_version", identification.hardwareVersion},
              {"software_version", identification.softwareVersion},
              {"fwl_version", identification.fwlVersion},
              {"serial_number", identification.serialNumber},
              {"network_id_kind", identification.networkIdKind},
              {"network_id", identification.networkId},
              {"ip_address", identification.ipAddress},
              {"subnet_mask", identification.subnetMask},
              {"gateway", identification.gateway},
              {"clock", clockState}};
}

// Numbers as numbers, switches as true/false, addresses as dotted text, lists by their item
// text (null with nothing selected), texts as they are.
Json ParameterValue(const CPageParameter& parameter) {
  switch (parameter.Kind()) {
    case ParameterKind::Number: return static_cast<const CNumberParameter&>(parameter).Record().value;
    case ParameterKind::Switch: return parameter.Text() == "1";
    case ParameterKind::List: return parameter.Text().empty() ? Json() : Json(parameter.Text());
    case ParameterKind::Address:
    case ParameterKind::Text: return parameter.Text();
  }
  return Json();
}

}  // namespace

Json ReportJson(const DeviceReport& report) {
  CDialogData& data = report.data;
  Json parameters = Json::object();
  for (const CPageParameter* parameter : DeviceParameters(report.pages))
    parameters[parameter->Key()] = ParameterValue(*parameter);

  return Json{{"identification", IdentificationJson(data.Identification(), report.clockState)},
                    {"admissible", report.admissible},
                    {"is32", data.Is32() != 0},
                    {"is_pfc", data.IsPFC() != 0},
                    {"pages", data.DevicePageKeys()},
                    {"tables", Json{{"0", data.Table0()}, {"100", data.Table100()}}},
                    {"parameters", parameters},
                    {"log", report.log}};
}

}  // namespace lanterna::cli
