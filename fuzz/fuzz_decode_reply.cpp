// Any bytes the board might send, through the reply decoder behind the
// status boxes.
#include "board_protocol.h"

#include <cstdint>
#include <cstdlib>

#define CHECK(cond) do { if (!(cond)) { std::abort(); } } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), qsizetype(size));
    const BoardProtocol::StatusFields f = BoardProtocol::decodeReply(reply);

    // The boxes are sized for these lengths.
    CHECK(f.LBRX.size() <= 2 && f.LbMin.size() <= 2 && f.LbBit.size() <= 1);
    CHECK(f.LbEjecutar.isEmpty() || f.LbEjecutar == QLatin1String("One")
          || f.LbEjecutar == QLatin1String("Sec."));

    // Only the first six characters count.
    CHECK(f == BoardProtocol::decodeReply(reply.left(6)));

    // Every byte shows as itself: Latin-1 both ways, nothing dropped or added.
    CHECK((f.LBRX + f.LbMin + f.LbBit).toLatin1() == reply.left(5));
    const char mode = reply.size() > 5 ? reply.at(5) : '\xff';
    CHECK(f.LbEjecutar == QLatin1String(mode == '0' ? "One" : mode == '1' ? "Sec." : ""));
    return 0;
}
