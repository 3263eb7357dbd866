#include "ErrorStrings.h"

namespace fennec {

namespace {

// The texts stand as users and stored reports know them, spelling included.
constexpr ErrorString kEnglish[] = {
    {6097, "Service '%s' failed.\r\n"},
    {6098, "Errorcode: 0x%08X (%d)"},
    {6099, "Unknown Error !"},
    {6100, "Communication failed"},
    {6101, "Receive Queue Overflow Error"},
    {6102, "Receive Overrun Error"},
    {6103, "Receive Parity Error"},
    {6104, "Receive Framing Error"},
    {6105, "RX Break Detected"},
    {6106, "TX Queue is full"},
    {6107, "Timeout while connecting to fieldbus coupler !"},
    {6108, "Invalid response telegram !"},
    {6119, "Invalid checksum !"},
    {6121,
     "An input buffer overflow has occurred. There is either no room in the input buffer, or a "
     "character was received after the end-of-file (EOF) character."},
    {6122, "A character-buffer overrun has occurred. The next character is lost."},
    {6123, "The hardware detected a parity error."},
    {6124, "The hardware detected a framing error."},
    {6125, "The hardware detected a break condition."},
    {6126, "The application tried to transmit a character, but the output buffer was full."},
    {6127,
     "The fieldbus coupler (FBC) did not reply within a given time.\r\n"
     "\r\n"
     "Possible Reasons:\r\n"
     "- The Fieldbus couplers power supply was interrupted.\r\n"
     "- The connection between your PC and the FBC was interrupted.\r\n"
     "- Different communication settings for your PC and the FBC."},
    {6128, "Reason:\tInvalid number of bytes for the reponse data."},
    {6129, "Invaild STX for the response data."},
    {6200, "Communication Port Error"},
    {6201, "COM-Port not found !"},
    {6202, "Acces denied !"},
    {6203, "Invalid handle value !"},
    {6204, "COM-Port not opened !"},
    {6221, "Reason:\t%s is not installed into your PC.\r\n\r\nRemedy:\tSelect another port."},
    {6222,
     "Reason:\t%s is already used by another application.\r\n"
     "\r\n"
     "Remedy:\t- Check serial interface settings or \r\n"
     "\t- select another port or \r\n"
     "\t- close the other application."},
    {6223, "Reason:\tThe device handle for %s is invalid."},
    {6224,
     "Reason:\t%s is not opened.\r\n"
     "\r\n"
     "Remedy:\t- Open the serial interface again or \r\n"
     "\t- select another serial interface."},
    {6300, "Terminal bus Error"},
    {6301, "Terminal bus reset failed !"},
    {6302, "ERROR_KB_LOOPBACK"},
    {6303, "ERROR_KB_CHECKWIRE"},
    {6304, "Command Error !"},
    {6305, "Terminal bus interruption"},
    {6306, "ERROR_KB_TESTDATA"},
    {6307, "Invalid process image !"},
    {6308, "Moudule test failed !"},
    {6309, "Type test failed !"},
    {6310, "ERROR_KB_TESTPTP"},
    {6311, "Invalid command !"},
    {6312, "ERROR_KB_TEST_SELECT"},
    {6313, "ERROR_KB_TRNS_ALIGN_BITS"},
    {6314, "ERROR_KB_SIZE_AFTER_ALIGN"},
    {6315, "Write protection not cleared !"},
    {6316, "Write protection not set !"},
    {6331, "---"},
    {6332, "---"},
    {6333, "---"},
    {6334, "A valid command was handled incorrect by module at position %d."},
    {6335, "Terminal bus interruption next to module at position %d."},
    {6336, "A test image was changed on the terminal bus."},
    {6337, "Invalid process image for module at position %d."},
    {6338, "Module testing for module at position %d failed."},
    {6339, "Type testing for module at position %d failed."},
    {6340, "Error during communication with module at position %d."},
    {6341, "An invalid command was send for module at position %d."},
    {6342, "---"},
    {6343, "---"},
    {6344, "---"},
    {6345, "Failed to clear write protection for a complex module."},
    {6346, "Failed to set write protection for a complex module."},
    {6360, "Fieldbus Coupler Error"},
    {6361, "Invalid table !"},
    {6362, "Invalid register !"},
    {6363, "Write access  disabled !"},
    {6364, "Write error !"},
    {6365, "Invalid number of arguments !"},
    {6366, "Previous service is not yet ready !"},
    {6367, "Invalid service request !"},
    {6368, "Invalid argument !"},
    {6369, "Service rejected !"},
    {6370, "Invalid address range !"},
    {6371, "Invalid number of register requested !"},
    {6381, "Table %d is not used by the fieldbus coupler."},
    {6382, "Table %d does not contains register %d."},
    {6383, "Write protection must be cleared before changing register %d."},
    {6384, "Register %d could not be written."},
    {6385, "Invalid number of arguments for function '%s'."},
    {6386, "Function '%s' could not be served while another function is running."},
    {6387, "Function '%s' is not supported by the connetcted fieldbus coupler."},
    {6388, "Invalid arguments for function '%s'."},
    {6389, "Function '%s' was rejected by the fieldbus coupler."},
    {6390, "Acces out of table range.\r\nTable %d does not contains register %d."},
    {6391, "Table %d does not contain the requested number of register."},
    {6400, "Register Communication Error"},
    {6401, "Register communications not supported !"},
    {6402, "Register communication failed !"},
    {6403, "Timeout during register communication."},
    {6404, "Register communication failed !"},
    {6421, "Register communication not supported by module at position %d."},
    {6422,
     "Register communication failed for module at position %d (channel %d).\r\n"
     "\r\n"
     "Possible Reasons:\r\n"
     "- A terminal bus error occured.\r\n"
     "- The module is not a processor module.\r\n"
     "- The requested channel is out of channel range.\r\n"
     "- The logical channel does not exist.\r\n"
     "- The PTB Bit of the module is not set.\r\n"
     "- Invalid bit offset for the module."},
    {6423, "The PTP state did not changed for n cycles."},
    {6424, "Invalid PTP state."},
    {6460, "Process image not running !"},
    {6461, "The required process image will not be processed by the fieldbus coupler."},
    {6462, "Invalid process image length !"},
    {6463,
     "The fieldbus coupler does not have enough memory for preparing the process image.\n"
     "The process image will not be handle by the fieldbus coupler."},
    {6464, "Invalid process image !"},
    {6465, "The required process image will not be processed correctly by the fieldbus coupler."},
    {6466, "Service '%s' rejected !"},
    {6467,
     "The service '%s' was rejected by the fieldbus coupler.\r\n"
     "\r\n"
     "Reason:\r\n"
     "-The connected fieldbus is active.\n"
     "\n"
     "The connected fieldbus is active."},
    {6468, "Service '%s' rejected !"},
    {6469,
     "The service '%s' was rejected by the fieldbus coupler.\r\n"
     "\r\n"
     "Reason:\tA PFC application is running.\r\n"
     "\r\n"
     "Remedy:\tTo stop programm processing change the \r\n"
     "\toperating mode switch from top to middle position."},
    {6470, "Table protecetd !"},
    {6471, "Table %d is write protected.\r\nIt is not possible to write register  %d."},
    {6650, "Terminal bus command error !"},
    {6651, "Error while transmitting input data after module %d !"},
    {6652, "Error while transmitting output data after module %d !"},
    {6653, "Terminal bus timeout !"},
    {6654, "Error following a termin bus reset !"},
    {6660, "Firmware Download Error"},
    {6661, "Download was terminated by the user !"},
    {6700, "Error"},
    {6701, "Invalid node configuration !"},
    {6702,
     "The fieldbus coupler faild to read module data from the terminal bus.\r\n"
     "\r\n"
     "Possible Reasons:\r\n"
     "- The terminal bus is interrupted.\r\n"
     "- The end module is missing."},
};

}  // namespace

std::span<const ErrorString> EnglishErrorStrings() { return kEnglish; }

}  // namespace fennec
