#pragma once
// The TCP link to a virtual mouse (VIREO_VMOUSE=HOST:PORT); the library is the client. While
// the server cannot be reached, or answers for another device, the mouse counts as absent and
// the connection is tried again every second. A broken connection closes every collection.
#include <windows.h>
#include <winsock2.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "conduit/conduit_event_sink.h"
#include "conduit/conduit_transport.h"
#include "conduit/conduit_watch.h"
#include "conduit/library_thread.h"
#include "contract/link_frame.h"
#include "win/unique_handle.h"

class TcpLinkTransport : public ConduitTransport {
 public:
  TcpLinkTransport(std::string address, const ConduitWatch& watch, ConduitEventSink& sink);
  ~TcpLinkTransport() override;

  bool Start() override;
  void Stop() override;
  bool Write(uint32_t deviceId, const uint8_t* report, uint32_t length) override;
  bool Read(uint32_t deviceId, uint8_t* buffer, uint32_t length) override;
  // The WRITE and READ frames in one send.
  bool Request(uint32_t deviceId, const uint8_t* report, uint32_t reportLength, uint8_t* buffer,
               uint32_t length) override;

  // "HOST:PORT" whose host is a loopback address literal (127.0.0.0/8, ::1) or "localhost".
  static bool IsLoopbackAddress(const std::string& address);

  // The device id handed out for a collection is its id. Collection 0 becomes 0x10000 (same
  // low 16 bits), because the agent uses device id 0 for "no device".
  static uint32_t DeviceIdOf(uint16_t collection) { return collection ? collection : 0x10000u; }

 private:
  struct OpenCollection {
    uint16_t UsagePage = 0;
    uint16_t Usage = 0;
    uint32_t DeviceKey = 0;
  };

  void Run();
  UniqueSocket Connect() const;
  void Serve();
  // Receives what has arrived and handles its frames; m_receiveMutex held. False when the
  // connection ended or the stream is malformed. The socket's event resets as a wait wakes on
  // it, before the receive: whatever arrives after a receive sets it again, so a thread that
  // waits for it (the network thread, or a read for its answer) never misses data. A receive
  // without that wait may leave it set for nothing, which costs one empty receive.
  bool ReceiveAvailable();
  bool HandleFrame(const LinkFrame& frame);  // false: the stream is malformed
  void DeliverInputs();                      // network thread
  void Drop(bool report);
  bool SendLocked(const std::vector<uint8_t>& bytes);  // m_sendMutex held
  // A read, its frame preceded in the same send by a WRITE of `report` unless that is empty.
  bool SendAndRead(uint32_t deviceId, std::span<const uint8_t> report, uint8_t* buffer,
                   uint32_t length);
  bool Stopping() const;

  const std::string m_address;
  const ConduitWatch m_watch;
  ConduitEventSink& m_sink;
  UniqueKernelHandle m_stopEvent;
  UniqueKernelHandle m_firstLookEvent;    // set once the first attempt has an outcome
  UniqueKernelHandle m_inputQueuedEvent;  // wakes the network thread to hand inputs on
  // Set by the socket when data or its close arrived (WSAEventSelect), and after a failed send.
  // Auto-reset: it wakes one waiter; the network thread passes it on to a waiting read.
  UniqueKernelHandle m_socketEvent;
  LibraryThread m_thread;

  // Set by the network thread before it starts receiving.
  ULONGLONG m_connectedAt = 0;

  // The receiving side: whoever holds it may receive and handle frames, normally the network
  // thread, during a read the reading thread. Taken before m_sendMutex.
  std::mutex m_receiveMutex;
  LinkFrameReader m_reader;
  bool m_receiveBroken = false;
  std::atomic<bool> m_deviceMatched{false};
  ULONGLONG m_matchedAt = 0;

  // Guards the socket for senders and for closing it (the network thread replaces and closes
  // it with both locks held). Taken before m_mutex.
  std::mutex m_sendMutex;
  UniqueSocket m_socket;
  // One device per connection: the collections of a connection share its key.
  uint32_t m_deviceKey = 0;

  // Guards the open collections and the read in progress. Answers belong to reads in the
  // order the reads were sent, so a late answer to an abandoned read is recognised and dropped.
  std::mutex m_mutex;
  std::map<uint32_t, OpenCollection> m_open;
  std::deque<std::pair<uint32_t, std::vector<uint8_t>>> m_inputs;  // for the network thread
  uint64_t m_readsSent = 0;
  uint64_t m_answersReceived = 0;
  uint64_t m_waitingFor = 0;  // index of the read in progress, 0 when none
  uint32_t m_waitingDevice = 0;
  bool m_answerReady = false;
  std::vector<uint8_t> m_answer;

  std::mutex m_readMutex;  // one read at a time
  // Until this tick the network thread leaves receiving to the reads (see kReadRunMilliseconds).
  std::atomic<ULONGLONG> m_readRunUntil{0};
};
