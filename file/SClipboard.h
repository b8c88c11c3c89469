// Plain-text copy and paste through the X "CLIPBOARD" selection, independent of the toolkit's event loop:
// the object keeps two X connections of its own, one to ask other clients for the selection and one from
// which a thread of its own answers their requests while this object owns the selection. It speaks the
// targets that text editors and terminals ask for (TARGETS, UTF8_STRING, STRING, TEXT) and refuses the rest.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "data/datastring.h"

typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

namespace tovo::gui {
class SControl;
namespace context {
class SData;
}
}  // namespace tovo::gui

namespace tovo::threading {
class SThread;
}

namespace tovo::file {

class SClipboard {
 public:
  using Text = tovo::data::datastring<32, char>;

  // Opens both connections and windows and starts the server thread; without a display nothing is
  // opened and every operation fails.
  SClipboard();
  // Stops and joins the server thread before the connections it uses are closed.
  ~SClipboard();
  SClipboard(const SClipboard&) = delete;
  SClipboard& operator=(const SClipboard&) = delete;

  // False for a null control or without a display; true at once while some clipboard is open (the owner
  // then stays as it was).
  bool Open(tovo::gui::SControl* owner);
  void Close();
  // Empties the served text while open; returns whether it was open.
  bool Empty();
  // Serves a copy of the text of a kind-1 payload (a payload without text serves the empty text) and
  // claims the selection; true when the server reports this object as the owner.
  bool SetData(const tovo::gui::context::SData& data);
  // Asks the selection's owner for the text (kind 1 only; any other kind fails without X traffic) and
  // stores it with its size; false when nobody owns the selection, the owner refuses or does not answer
  // within about a second, or the text is empty.
  bool GetData(tovo::gui::context::SData& data, int kind);
  // Formats other than text are not supported: kept for callers that ask.
  int RegisterFormat(const char*) { return 0; }
  int CountFormats() { return 0; }
  void GetRegisteredFormats(tovo::gui::SControl*);

  // Answers one selection request (or notes a lost selection) as the server thread does; the result of
  // the flush.
  int ServeEvent(XEvent* event);
  // Answers the requests queued on the serving connection without waiting; the result of the last flush.
  int CheckEvent();

  bool Owning() const { return owning.load(std::memory_order_acquire); }
  tovo::gui::SControl* Owner() const { return owner; }
  static bool IsOpen();

 private:
  static void* DataServer(void* self);
  // Server thread: waits for requests or the stop signal, then answers what came.
  void Serve();
  // Caller holds servingLock.
  int AnswerRequest(XEvent* event);
  int DrainRequests();
  // Opens the clipboard unless it is open already; false without both windows.
  bool OpenImplicitly();
  // Reads the delivered property chunk by chunk into text; false for a type other than text.
  bool ReadProperty(Text& text);
  // Wakes the server thread so that it looks at its queue at once.
  void Wake();

  std::vector<Text> formats;
  Text servedText;
  Display* readDisplay = nullptr;
  Display* serveDisplay = nullptr;
  unsigned long readWindow = 0;
  unsigned long serveWindow = 0;
  tovo::threading::SThread* serverThread = nullptr;
  bool serverStarted = false;
  unsigned long readClipboardAtom = 0;
  unsigned long serveClipboardAtom = 0;
  unsigned long deliveryAtom = 0;
  tovo::gui::SControl* owner = nullptr;

  // Atoms of the serving connection for the targets it answers.
  unsigned long targetsAtom = 0;
  unsigned long utf8Atom = 0;
  unsigned long textAtom = 0;
  // The reading connection's name of UTF8_STRING, accepted as a reply type.
  unsigned long readUtf8Atom = 0;
  // Guards the serving connection (the server thread answers on it, SetData claims the selection on it).
  std::mutex servingLock;
  // Guards servedText between SetData and the server thread; taken after servingLock when both are.
  std::mutex textLock;
  std::atomic<bool> owning{false};
  std::atomic<bool> stopping{false};
  // Written to wake the server thread from its wait (stop request, or requests read by another thread).
  int wakeFd = -1;
};

}  // namespace tovo::file
