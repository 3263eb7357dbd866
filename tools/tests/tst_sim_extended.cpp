// The simulator's side of the extended protocol, without a line: table 124, telling frames
// from telegrams, and the device model's endpoint driven frame by frame by a client written
// here from the frame layout alone.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "ExtFrameBytes.h"
#include "FaultInjection.h"
#include "ModelFixture.h"
#include "ProtocolTable.h"
#include "RequestAssembler.h"

using namespace fennec::sim;
using ext_bytes::Bytes;
using ext_bytes::Frame;
using ext_bytes::Message;
using ext_bytes::WordAt;
using simtest::Words;

namespace {

std::uint16_t Sum(const TableImage& table) {
  return static_cast<std::uint16_t>(std::accumulate(table.begin(), table.end(), 0u));
}

// What came back for one message: every frame the device sent, and the answer's data.
struct Reply {
  std::vector<Frame> frames;
  Bytes message;
  bool complete = false;
};

class ExtendedModel : public ModelFixture {
 protected:
  std::optional<Frame> Send(const Frame& frame) {
    const auto answer = model->Handle(ext_bytes::PcFrame(frame), now).answer;
    if (!answer) return std::nullopt;
    last = *answer;
    return ext_bytes::Parse(*answer);
  }

  // The message in fragments of the fragment size, each acknowledgement awaited; then the
  // answer fragment by fragment, each acknowledged.
  Reply Exchange(unsigned char cmd, const Bytes& message, std::size_t fragmentSize = 64) {
    Reply reply;
    ++seqNr;
    std::optional<Frame> answer;
    for (std::size_t offset = 0, counter = 1; offset < message.size() || counter == 1; offset += fragmentSize, ++counter) {
      const std::size_t length = std::min(fragmentSize, message.size() - offset);
      const bool more = offset + length < message.size();
      answer = Send({'$', cmd, static_cast<std::uint16_t>(counter | (more ? 0x8000 : 0)), seqNr, 0,
                     Bytes(message.begin() + static_cast<std::ptrdiff_t>(offset),
                           message.begin() + static_cast<std::ptrdiff_t>(offset + length))});
      if (!answer) return reply;
      reply.frames.push_back(*answer);
      if (!more) break;
    }
    while (answer && answer->cmd == (cmd | 0x80)) {
      reply.message.insert(reply.message.end(), answer->data.begin(), answer->data.end());
      if (!answer->More()) {
        reply.complete = true;
        break;
      }
      answer = Send(ext_bytes::Confirmation(answer->Counter(), seqNr));
      if (answer) reply.frames.push_back(*answer);
    }
    return reply;
  }

  Reply Read(std::uint16_t table, std::uint16_t first, std::uint16_t count, std::uint16_t module = 0) {
    return Exchange(1, Message({12, module, table, first, count, 0}));
  }

  Reply Write(std::uint16_t table, std::uint16_t first, const Words& words) {
    return Exchange(2, Message({static_cast<std::uint16_t>(12 + 2 * words.size()), 0, table, first,
                                static_cast<std::uint16_t>(words.size()), 0},
                               ext_bytes::LittleEndian(words)));
  }

  Reply Service(std::uint16_t group, std::uint16_t number, const Bytes& arguments, std::uint16_t rdArg) {
    return Exchange(3, Message({static_cast<std::uint16_t>(12 + arguments.size()), group, number,
                                static_cast<std::uint16_t>(arguments.size()), rdArg, 0},
                               arguments));
  }

  unsigned char seqNr = 0;
  Bytes last;  // the last answer's bytes
};

Words WordsOf(const Bytes& bytes, std::size_t from) {
  Words words;
  for (std::size_t i = from; i + 1 < bytes.size(); i += 2) words.push_back(WordAt(bytes, i));
  return words;
}

Words Factory110(std::uint16_t first, std::uint16_t count) {
  Words words(count);
  for (std::uint16_t i = 0; i < count; ++i) words[i] = static_cast<std::uint16_t>(0x5A00 + first + i);
  return words;
}

}  // namespace

TEST(ProtocolTable, ItsWordsAddUpToZero) {
  const TableImage table = ProtocolTable({});
  EXPECT_EQ(table, (TableImage{22, table[1], 1, 512, 1, 64, 500, 1000, 0, 0, 0}));
  EXPECT_EQ(Sum(table), 0);
  EXPECT_EQ(FindProfile("fbc32")->deviceTables.at(124), table);
  const TableImage ext = FindProfile("fbcext")->deviceTables.at(124);
  EXPECT_EQ(Sum(ext), 0);
  const ExtendedLimits limits = LimitsOf(ext);
  EXPECT_TRUE(limits.offered);
  EXPECT_EQ(limits.fragmentSize, 64u);
  EXPECT_EQ(limits.targetBufSize, 1024u);
  EXPECT_TRUE(limits.fragmentEnable);
  EXPECT_FALSE(FindProfile("fbc16")->deviceTables.contains(124));
  EXPECT_FALSE(LimitsOf(table).offered);
}

TEST(ProtocolTable, NamedWordsAreRewrittenAndTheSumFollows) {
  struct Case {
    const char* assignments;
    std::size_t word;
    std::uint16_t value;
    bool sumZero;
  };
  const Case cases[] = {
      {"FragmentEnable=0", 4, 0, true},
      {"fragmentsize=0x64", 5, 100, true},
      {"version=1,TargetBufSize=0", 3, 0, true},
      {"TableSum=0", 1, 0, false},
      {"Reserve3=7,TableSum=7", 10, 7, false},
  };
  for (const Case& c : cases) {
    TableImage table = ProtocolTable({});
    EXPECT_EQ(RewriteProtocolWords(table, c.assignments), std::nullopt) << c.assignments;
    EXPECT_EQ(table[c.word], c.value) << c.assignments;
    EXPECT_EQ(Sum(table) == 0, c.sumZero) << c.assignments;
  }
  for (const char* bad : {"FragmentSize", "Size=3", "FragmentSize=65536", "FragmentSize=-1", "version=1,x=2", "=1"}) {
    TableImage table = ProtocolTable({});
    EXPECT_TRUE(RewriteProtocolWords(table, bad).has_value()) << bad;
    EXPECT_EQ(table, ProtocolTable({})) << bad;
  }
}

// A frame of Len 268 has 0x0C in byte 2: read as a telegram it would be cut after 12 bytes.
TEST(RequestAssembler, ExtendedFramesAreToldByByte4) {
  Bytes frame = ext_bytes::PcFrame({'$', 3, 1, 1, 0, Bytes(256, 0x0C)});
  ASSERT_EQ(frame[2], 0x0C);
  RequestAssembler assembler(300);
  const Bytes noise{0x55, 0xFD, 0x00};
  assembler.Feed(noise);
  assembler.Feed(std::span(frame).first(100));
  EXPECT_FALSE(assembler.Next());
  assembler.Feed(std::span(frame).subspan(100));
  assembler.Feed(simtest::kRead124);
  EXPECT_EQ(assembler.Next(), frame);
  EXPECT_EQ(assembler.Next(), simtest::kRead124);

  // A Len the fragment size does not allow starts nothing: the hunt goes on.
  RequestAssembler small(64);
  small.Feed(frame);
  small.Feed(simtest::kRead124);
  EXPECT_EQ(small.Next(), simtest::kRead124);

  // A device without the extended protocol frames everything as telegrams.
  RequestAssembler legacy;
  legacy.Feed(std::span(frame).first(12));
  EXPECT_EQ(legacy.Next(), Bytes(frame.begin(), frame.begin() + 12));
}

TEST_F(ExtendedModel, ReadsReachBeyondTheTelegramsRegisterNumbers) {
  PowerUp("fbcext");
  const Reply reply = Read(110, 300, 20);
  ASSERT_TRUE(reply.complete);
  ASSERT_EQ(reply.frames.size(), 1u);
  EXPECT_EQ(reply.frames[0].fragCnt, 1);
  EXPECT_EQ(reply.frames[0].cmd, 0x81);
  EXPECT_EQ(reply.frames[0].seqNr, seqNr);
  EXPECT_EQ(Bytes(reply.message.begin(), reply.message.begin() + 12), Message({52, 0, 110, 300, 20, 0}));
  EXPECT_EQ(WordsOf(reply.message, 12), Factory110(300, 20));
  EXPECT_EQ(Bytes(last.begin(), last.begin() + 2), (Bytes{0x02, 0xFD}));
}

TEST_F(ExtendedModel, ThreeHundredRegistersComeInTenFragmentsOnePerAcknowledgement) {
  PowerUp("fbcext");
  const Reply reply = Read(110, 0, 300);
  ASSERT_TRUE(reply.complete);
  EXPECT_EQ(reply.frames.size(), 10u);
  EXPECT_EQ(reply.frames[0].fragCnt, 0x8001);
  EXPECT_EQ(reply.frames[9].fragCnt, 10);
  EXPECT_EQ(reply.frames[9].data.size(), 612u - 9 * 64);
  EXPECT_EQ(WordsOf(reply.message, 12), Factory110(0, 300));
}

TEST_F(ExtendedModel, RequestFragmentsAreAcknowledgedOneByOne) {
  PowerUp("fbcext");
  Bytes data(150);
  std::iota(data.begin(), data.end(), 0);
  const Reply reply = Exchange(127, data);
  ASSERT_TRUE(reply.complete);
  ASSERT_EQ(reply.frames.size(), 5u);  // two acknowledgements, three answer fragments
  for (std::uint16_t i = 0; i < 2; ++i) {
    EXPECT_EQ(reply.frames[i].cmd, 0);
    EXPECT_EQ(reply.frames[i].fragCnt, i + 1);
    EXPECT_EQ(reply.frames[i].err, 0);
  }
  EXPECT_EQ(reply.frames[4].data.size(), 22u);
  EXPECT_EQ(reply.message, data);
}

// The same tables and refusal rules as the telegrams, with numbers never cut to 8 bits.
TEST_F(ExtendedModel, RegisterMessagesAreRefusedByTheTelegramsRules) {
  struct Case {
    const char* name;
    std::function<Reply()> exchange;
    std::uint16_t err;
  };
  const Case cases[] = {
      {"a module", [this] { return Read(110, 0, 1, 1); }, 0x8300},
      {"table 366 (110 + 256)", [this] { return Read(366, 0, 1); }, 0x8200},
      {"beyond table 110", [this] { return Read(110, 310, 20); }, 0x8215},
      {"no registers", [this] { return Read(110, 0, 0); }, 0x8216},
      {"table 124", [this] { return Write(124, 0, {1}); }, 0x821C},
      {"table 100 without enabling", [this] { return Write(100, 3, {1}); }, 0x8202},
      {"table 110 without enabling", [this] { return Write(110, 319, {1}); }, 0},
  };
  PowerUp("fbcext");
  for (const Case& c : cases) {
    const Reply reply = c.exchange();
    ASSERT_TRUE(reply.complete) << c.name;
    EXPECT_EQ(WordAt(reply.message, 10), c.err) << c.name;
  }
  EXPECT_EQ(WordsOf(Read(110, 318, 2).message, 12), (Words{0x5A00 + 318, 1}));
  EXPECT_EQ(WordsOf(Read(366, 0, 2).message, 12), (Words{0, 0})) << "a refused read carries zeros";
}

TEST_F(ExtendedModel, ServicesRunThroughTheServiceTable) {
  PowerUp("fbcext");
  const Reply identity = Service(1, 8, {}, 82);
  ASSERT_TRUE(identity.complete);
  EXPECT_EQ(identity.message.size(), 12u + 82);
  EXPECT_EQ(Bytes(identity.message.begin(), identity.message.begin() + 12), Message({94, 1, 8, 0, 82, 0}));
  const Words texts = WordsOf(identity.message, 12);
  EXPECT_EQ(simtest::UnpackTexts(texts, 4),
            (std::vector<std::string>{"716-352", "ETHERNET FBC 100MBIT XT", "04", "01.08.02(10)"}));
  EXPECT_EQ(WordAt(Service(1, 99, {}, 0).message, 10), 0x8212);
  EXPECT_EQ(WordAt(Service(0x101, 8, {}, 82).message, 10), 0x8212) << "group 257 is not group 1";
  EXPECT_EQ(WordAt(Service(1, 1, {0x1C, 0x6E}, 0).message, 10), 0x8213) << "not the key";
  EXPECT_EQ(WordAt(Service(1, 1, {0x1B, 0x6E}, 0).message, 10), 0);
  EXPECT_EQ(WordAt(Write(100, 3, {7}).message, 10), 0) << "enabled over the extended protocol";
}

// A repetition (the client's acknowledgement or answer got lost) is acknowledged or answered
// again, never taken twice.
TEST_F(ExtendedModel, ARepeatedFragmentIsNotTakenTwice) {
  PowerUp("fbcext");
  const Bytes message = Message({92, 0, 110, 200, 40, 0}, ext_bytes::LittleEndian(Words(40, 0x1111)));
  ++seqNr;
  const Frame first{'$', 2, 0x8001, seqNr, 0, Bytes(message.begin(), message.begin() + 64)};
  const Frame second{'$', 2, 2, seqNr, 0, Bytes(message.begin() + 64, message.end())};
  EXPECT_EQ(Send(first)->fragCnt, 1);
  Frame again = first;
  again.err = 4;  // a repetition carries the fragment error code
  EXPECT_EQ(Send(again)->cmd, 0);
  const Frame answer = *Send(second);
  EXPECT_EQ(answer.cmd, 0x82);
  EXPECT_EQ(*Send(second), answer);
  EXPECT_EQ(WordsOf(Read(110, 199, 42).message, 12)[1], 0x1111);
  EXPECT_EQ(WordsOf(Read(110, 199, 42).message, 12)[41], 0x5A00 + 240);
}

TEST_F(ExtendedModel, FragmentsThatDoNotContinueTheMessageAreRefused) {
  PowerUp("fbcext");
  const auto errOf = [this](const Frame& frame) { return Send(frame)->err; };
  EXPECT_EQ(errOf({'$', 127, 2, 50, 0, {1}}), 11) << "fragment 2 of no message";
  EXPECT_EQ(errOf({'$', 127, 0x8001, 51, 0, {1}}), 0);
  EXPECT_EQ(errOf({'$', 127, 2, 52, 0, {1}}), 4) << "another sequence number";
  EXPECT_EQ(errOf({'$', 1, 2, 51, 0, {1}}), 5) << "another command";
  EXPECT_EQ(errOf({'$', 127, 3, 51, 0, {1}}), 11) << "fragment 2 left out";
  EXPECT_EQ(errOf({'$', 127, 2, 51, 0, {}}), 6) << "no data";
  EXPECT_EQ(errOf({'$', 9, 1, 53, 0, {1}}), 5) << "unknown command";
  // More than the 1024 bytes of the receive buffer.
  EXPECT_EQ(errOf({'$', 127, 0x8001, 54, 0, Bytes(64, 0)}), 0);
  for (std::uint16_t counter = 2; counter <= 16; ++counter)
    ASSERT_EQ(errOf({'$', 127, static_cast<std::uint16_t>(0x8000 | counter), 54, 0, Bytes(64, 0)}), 0) << counter;
  EXPECT_EQ(errOf({'$', 127, 17, 54, 0, Bytes(1, 0)}), 1);
  // The client's notice that data is missing is acknowledged.
  const Frame notice = *Send({'$', 0, 18, 54, 11, {}});
  EXPECT_EQ(notice.cmd, 0);
  EXPECT_EQ(notice.err, 0);
}

TEST_F(ExtendedModel, ADeviceWithVersion0AnswersNoExtendedFrame) {
  PowerUp("fbc32");
  EXPECT_FALSE(Send({'$', 127, 1, 1, 0, {0x55, 0xAA}}));
  EXPECT_TRUE(client.Read(100, 0, 1).Good());
}

TEST_F(ExtendedModel, Table110IsWrittenWithoutEnablingAndResetByARestart) {
  PowerUp("fbcext", {std::chrono::milliseconds(300), std::chrono::milliseconds(300)});
  ASSERT_EQ(WordAt(Write(110, 5, {0x0BAD}).message, 10), 0);
  EXPECT_EQ(WordsOf(Read(110, 5, 1).message, 12), Words{0x0BAD});
  ASSERT_EQ(WordAt(Service(1, 1, {0x1B, 0x6E}, 0).message, 10), 0);
  const Reply restart = Service(1, 2, {}, 0);
  ASSERT_TRUE(restart.complete);
  EXPECT_EQ(restart.message, Message({12, 1, 2, 0, 0, 0}));
  EXPECT_FALSE(Read(110, 5, 1).complete) << "silent while restarting";
  Advance(std::chrono::milliseconds(301));
  EXPECT_EQ(WordsOf(Read(110, 5, 1).message, 12), Words{0x5A05});
}

TEST_F(ExtendedModel, TheOldFormatRestartAnswer) {
  Profile profile = *FindProfile("fbcext");
  profile.oldFormatRestartAnswer = true;
  model.emplace(profile, DeviceTimings{}, NonVolatileMemory(profile), now);
  Service(1, 1, {0x1B, 0x6E}, 0);
  EXPECT_FALSE(Service(1, 2, {}, 0).complete);
  EXPECT_EQ(last, (Bytes{0x02, 0xFD, 0x0E, 0x00, 0x00, 0x01, 0x72, 0x00, 0x63, 0x00, 0x00, 0x00, 0xE3, 0x01}));
  EXPECT_FALSE(client.Read(100, 0, 1).answered) << "the device has gone down";
}

// Each fault strikes the next answer fragment once; the one after is whole again.
TEST_F(ExtendedModel, EachExtendedFaultDamagesTheNextAnswerFragment) {
  struct Case {
    const char* name;
    std::function<void(ExtFaults&)> inject;
    std::function<void(const Bytes& bytes, const Frame& frame)> check;
  };
  const Case cases[] = {
      {"seqnr", [](ExtFaults& f) { f.wrongSeqNr = 1; }, [this](const Bytes&, const Frame& f) { EXPECT_EQ(f.seqNr, seqNr + 1); }},
      {"cmd", [](ExtFaults& f) { f.wrongCmd = 1; }, [](const Bytes&, const Frame& f) { EXPECT_EQ(f.cmd, 0x83); }},
      {"protid", [](ExtFaults& f) { f.wrongProtId = 1; }, [](const Bytes&, const Frame& f) { EXPECT_EQ(f.protId, '#'); }},
      {"order", [](ExtFaults& f) { f.outOfOrder = 1; }, [](const Bytes&, const Frame& f) { EXPECT_EQ(f.fragCnt, 2); }},
      {"counter0", [](ExtFaults& f) { f.counterZero = 1; }, [](const Bytes&, const Frame& f) { EXPECT_EQ(f.fragCnt, 0); }},
      {"nodata", [](ExtFaults& f) { f.withoutData = 1; }, [](const Bytes& b, const Frame& f) {
         EXPECT_TRUE(f.data.empty());
         EXPECT_EQ(b.size(), 12u);
       }},
      {"checksum", [](ExtFaults& f) { f.badChecksum = 1; }, [](const Bytes& b, const Frame&) {
         EXPECT_NE(ext_bytes::DeviceFrame(ext_bytes::Parse(b)), b);
       }},
      {"header", [](ExtFaults& f) { f.badHeader = 1; }, [](const Bytes& b, const Frame&) {
         EXPECT_EQ(b[0], 0xAA);
         EXPECT_EQ(b[1], 0x55);
       }},
      {"oversize", [](ExtFaults& f) { f.oversizeLen = 1; }, [](const Bytes& b, const Frame&) {
         EXPECT_EQ(WordAt(b, 2), 77);
         EXPECT_EQ(b.size(), 26u);
       }},
      {"confirm", [](ExtFaults& f) { f.confirmationInstead = 1; }, [](const Bytes& b, const Frame& f) {
         EXPECT_EQ(f.cmd, 0);
         EXPECT_EQ(f.fragCnt, 1);
         EXPECT_EQ(b.size(), 12u);
       }},
  };
  PowerUp("fbcext");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.inject(model->ExtendedFaults());
    Read(110, 0, 1);
    c.check(last, ext_bytes::Parse(last));
    const Reply whole = Read(110, 0, 1);
    ASSERT_TRUE(whole.complete);
    EXPECT_EQ(WordsOf(whole.message, 12), Words{0x5A00});
  }
}

TEST_F(ExtendedModel, ARepeatedFragmentAndSilenceStrikeLongerAnswers) {
  PowerUp("fbcext");
  model->ExtendedFaults().repeatedFragment = 1;
  const Reply repeated = Read(110, 0, 60);  // three answer fragments, acknowledged as they come
  ASSERT_EQ(repeated.frames.size(), 4u);
  EXPECT_EQ(repeated.frames[1], repeated.frames[0]) << "fragment 1 again in place of fragment 2";
  EXPECT_EQ(repeated.frames[2].fragCnt, 0x8002);
  EXPECT_EQ(repeated.frames[3].fragCnt, 3);

  model->ExtendedFaults().silentAfter = 1;
  const Reply cut = Read(110, 0, 60);
  EXPECT_FALSE(cut.complete);
  EXPECT_EQ(cut.frames.size(), 1u);
  EXPECT_FALSE(Send(ext_bytes::Confirmation(1, seqNr))) << "silent for the rest of the message";
  EXPECT_TRUE(Read(110, 0, 60).complete) << "the next message is answered";
}
