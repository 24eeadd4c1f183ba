#pragma once

#include <string>

// The texts and levels the socket component and its clients report, and the Winsock
// error table. Plain C++: no platform header is needed to read them.
namespace net {

// Status levels: a message is reported when its level is at most ReportLevel.
constexpr int kLevelReply = 1;
constexpr int kLevelSocket = 4;
constexpr int kLevelDetail = 8;

// Status texts.
constexpr const char* kStatusCreate = "Create";
constexpr const char* kStatusDestroy = "Destroy";
constexpr const char* kStatusInitializing = "Initializing Winsock";
constexpr const char* kStatusConnecting = "Connecting";
constexpr const char* kStatusDisconnecting = "Disconnecting";
constexpr const char* kStatusCanceling = "Canceling";
constexpr const char* kStatusAbort = "Abort";
constexpr const char* kStatusResolveHost = "Resolve Host";
constexpr const char* kStatusTimerOn = "Timer On";
constexpr const char* kStatusTimerOff = "Timer Off";
constexpr const char* kStatusTimerTriggered = "Timer Triggered";
constexpr const char* kStatusDataAvailable = "Data Available";
constexpr const char* kStatusReadLn = "ReadLn";
constexpr const char* kStatusWrite = "Write";
constexpr const char* kStatusWriteln = "Writeln";
constexpr const char* kStatusTransaction = "Transaction";
constexpr const char* kStatusLookingUpError = "Looking Up Error Message";
constexpr const char* kStatusSendingBuffer = "Sending Buffer";
constexpr const char* kStatusAccepting = "Accepting";
constexpr const char* kStatusRequestClose = "Request Close Socket";

// "Read( 5 )": the read message with its byte count.
std::string ReadStatus(int count);

// Exception messages.
constexpr const char* kWinsockStartFailed = "Initializaton of windows sockets failed";
constexpr const char* kAlreadyConnected = "Already connected";
constexpr const char* kNullRemoteAddress = "Null Remote Address";
constexpr const char* kLookupTimedOut = "Host Lookup Timed Out";
constexpr const char* kLookupCanceled = "Host Lookup Canceled";
constexpr const char* kLookupFailed = "Host Lookup Failed";
constexpr const char* kConnectionTimedOut = "Connection Timed out";
constexpr const char* kConnectionCanceled = "Connection Canceled";
constexpr const char* kConnectionFailed = "Connection Failed";
constexpr const char* kClosedWithoutReply = "Connection closed without a reply";
constexpr const char* kReadLnAborted = "Socket readln aborted";
constexpr const char* kSendAborted = "Socket send aborted";
constexpr const char* kAcceptCanceled = "Accepting Canceled";
constexpr const char* kAcceptFailed = "Error creating Data Connection";
constexpr const char* kNoTimer = "No Timer";
constexpr const char* kBusy = "Another operation of this socket is still waiting";

struct SocketErrorText {
  int code;
  const char* text;
};

// 50 Winsock errors and a closing row that code 0 would match; 0 never reaches it.
constexpr int kSocketErrorTableSize = 51;
extern const SocketErrorText kSocketErrorTable[kSocketErrorTableSize];

// "10061:Connection refused" for a code of the table, "Unknown Error No. 12345" otherwise.
std::string SocketErrorMessage(int code);

}  // namespace net
