// The virtual mouse's TCP link, both ends: a stream of any bytes in pieces of any size splits
// into the frames it holds (each re-encodes to its own bytes) or fails for good; every frame is
// decoded by the parsers of both sides, and the virtual mouse handles whatever a client sends.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "contract/link_frame.h"
#include "vmouse/virtual_mouse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  LinkFrameReader reader;
  VirtualMouse mouse;
  std::vector<std::uint8_t> fed;
  std::size_t consumed = 0;
  while (!input.Empty()) {
    const std::vector<std::uint8_t> piece = input.Bytes(1 + input.Byte() % 64);
    fed.insert(fed.end(), piece.begin(), piece.end());
    const bool ok = reader.Feed(piece);
    FUZZ_CHECK(ok == !reader.Failed());
    while (const std::optional<LinkFrame> frame = reader.Next()) {
      const std::vector<std::uint8_t> encoded = EncodeLinkFrame(frame->Type, frame->Payload);
      FUZZ_CHECK(consumed + encoded.size() <= fed.size());
      FUZZ_CHECK(std::equal(encoded.begin(), encoded.end(), fed.begin() + consumed));
      consumed += encoded.size();
      // The client's view.
      ParseDeviceFrame(*frame);
      ParseOpenFrame(*frame);
      ParseCloseFrame(*frame);
      // The server's view, and the mouse behind it.
      IsHelloFrame(*frame);
      if (const auto report = ParseReportFrame(*frame)) {
        mouse.HandleOutputReport(report->Collection, report->Report);
      }
      if (const auto read = ParseReadFrame(*frame)) {
        const std::vector<std::uint8_t> answer =
            mouse.AnswerRead(read->Collection, read->Length, read->Preset);
        FUZZ_CHECK(answer.size() == read->Length);
      }
    }
    if (reader.Failed()) break;
  }
  return 0;
}
