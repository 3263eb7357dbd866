#include "FennecErrorHandler.h"

// Each table's first row carries the group title that a code missing from the table gets.
namespace {
constexpr std::uint32_t kEnd = 0xFFFFFFFF;
constexpr std::uint32_t kTitlePort = 6200;
constexpr std::uint32_t kTitleTerminalBus = 6300;
constexpr std::uint32_t kTitleCoupler = 6360;
constexpr std::uint32_t kTitleRegisterCommunication = 6400;
constexpr std::uint32_t kTitleError = 6700;
}  // namespace

const tErrorID CFennecErrorHandler::m_CommError[] = {
    {0x20010001, kTitlePort, 6101, 6121},
    {0x20010002, kTitlePort, 6102, 6122},
    {0x20010004, kTitlePort, 6103, 6123},
    {0x20010008, kTitlePort, 6104, 6124},
    {0x20010010, kTitlePort, 6105, 6125},
    {0x20010100, kTitlePort, 6106, 6126},
    {0x20010200, kTitlePort, 6107, 6127},
    {0x20010400, kTitlePort, 6119, 6128},
    {0x20010800, kTitlePort, 6108, 6129},
    {kEnd, 0, 0, 0},
};

const tErrorID CFennecErrorHandler::m_PortError[] = {
    {0x20020002, kTitlePort, 6201, 6221},
    {0x20020005, kTitlePort, 6202, 6222},
    {0x20020006, kTitlePort, 6203, 6223},
    {0x20020100, kTitlePort, 6204, 6224},
    {kEnd, 0, 0, 0},
};

const tErrorID CFennecErrorHandler::m_KBError[] = {
    {0x20048000, kTitleTerminalBus, 6301, 6331},
    {0x20048001, kTitleTerminalBus, 6302, 6332},
    {0x20048002, kTitleTerminalBus, 6303, 6333},
    {0x20048003, kTitleTerminalBus, 6304, 6334},
    {0x20048004, kTitleTerminalBus, 6305, 6335},
    {0x20048005, kTitleTerminalBus, 6306, 6336},
    {0x20048006, kTitleTerminalBus, 6307, 6337},
    {0x20048007, kTitleTerminalBus, 6308, 6338},
    {0x20048008, kTitleTerminalBus, 6309, 6339},
    {0x20048009, kTitleTerminalBus, 6310, 6340},
    {0x2004800A, kTitleTerminalBus, 6311, 6341},
    {0x2004800B, kTitleTerminalBus, 6312, 6342},
    {0x2004800C, kTitleTerminalBus, 6313, 6343},
    {0x2004800D, kTitleTerminalBus, 6314, 6344},
    {0x2004800E, kTitleTerminalBus, 6315, 6345},
    {0x2004800F, kTitleTerminalBus, 6316, 6346},
    {kEnd, 0, 0, 0},
};

const tErrorID CFennecErrorHandler::m_BKError[] = {
    {0x20088200, kTitleCoupler, 6361, 6381},
    {0x20088201, kTitleCoupler, 6362, 6382},
    {0x20088202, kTitleCoupler, 6363, 6383},
    {0x20088203, kTitleCoupler, 6364, 6384},
    {0x20088210, kTitleCoupler, 6365, 6385},
    {0x20088211, kTitleCoupler, 6366, 6386},
    {0x20088212, kTitleCoupler, 6367, 6387},
    {0x20088213, kTitleCoupler, 6368, 6388},
    {0x20088214, kTitleCoupler, 6369, 6389},
    {0x20088215, kTitleCoupler, 6370, 6390},
    {0x20088216, kTitleCoupler, 6371, 6391},
    {0x20088217, kTitleCoupler, 6460, 6461},
    {0x20088218, kTitleCoupler, 6462, 6463},
    {0x20088219, kTitleCoupler, 6464, 6465},
    {0x2008821A, kTitleCoupler, 6466, 6467},
    {0x2008821B, kTitleCoupler, 6468, 6469},
    {0x2008821C, kTitleCoupler, 6470, 6471},
    {kEnd, 0, 0, 0},
};

const tErrorID CFennecErrorHandler::m_KLError[] = {
    {0x20088300, kTitleRegisterCommunication, 6401, 6421},
    {0x20088301, kTitleRegisterCommunication, 6402, 6422},
    {0x20088302, kTitleRegisterCommunication, 6403, 6423},
    {0x200883FF, kTitleRegisterCommunication, 6404, 6424},
    {kEnd, 0, 0, 0},
};

const tErrorID CFennecErrorHandler::m_BKReadTabError[] = {
    {0x20088409, kTitleError, 6701, 6702},
    {kEnd, 0, 0, 0},
};

const KBUSERRORLIST CFennecErrorHandler::m_KBusErrList[] = {
    {0x10, 6654, 0},
    {0x11, 6650, 0},
    {0x12, 6651, 1},
    {0x14, 6652, 1},
    {0x18, 6653, 0},
    {0xFFFF, 0, 0},
};
