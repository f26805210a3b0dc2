#include "sync/multistatus_reader_win.h"

#include <windows.h>
#include <objidl.h>
#include <xmllite.h>

#include <vector>

namespace {

// mingw-w64 carries xmllite.h but no import library: the reader is taken from the DLL.
using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

CreateXmlReaderFunction XmlReaderFactory() {
  static CreateXmlReaderFunction factory = [] {
    HMODULE library = LoadLibraryA("xmllite.dll");
    return library ? reinterpret_cast<CreateXmlReaderFunction>(
                         reinterpret_cast<void*>(GetProcAddress(library, "CreateXmlReader")))
                   : nullptr;
  }();
  return factory;
}

template <typename T>
class ComPointer {
 public:
  ComPointer() = default;
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  ~ComPointer() {
    if (pointer_) pointer_->Release();
  }
  T** Out() { return &pointer_; }
  T* operator->() const { return pointer_; }
  T* get() const { return pointer_; }

 private:
  T* pointer_ = nullptr;
};

const wchar_t kDav[] = L"DAV:";
const wchar_t kCardDav[] = L"urn:ietf:params:xml:ns:carddav";

struct Name {
  bool dav = false;
  bool carddav = false;
  std::wstring local;
  bool Is(bool inDav, const wchar_t* name) const { return (inDav ? dav : carddav) && local == name; }
};

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

// "HTTP/1.1 404 Not Found" -> 404.
int StatusOfLine(const std::string& line) {
  size_t blank = line.find(' ');
  if (blank == std::string::npos) return 0;
  int status = 0;
  for (size_t i = blank + 1; i < line.size() && i < blank + 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return 0;
    status = status * 10 + (line[i] - '0');
  }
  return status;
}

// The properties of one propstat, kept until its status says whether they count.
struct PropValues {
  std::string etag, addressData, displayName, principal, home;
  bool isAddressBook = false, isCollection = false;
  std::vector<std::string> reports;
};

class MultistatusParser {
 public:
  MultistatusParser(const DavUrl& base, DavAnswer& answer) : base_(base), answer_(answer) {}

  void Start(const Name& name) {
    if (stack_.empty() && !name.Is(true, L"multistatus")) notMultistatus_ = true;
    stack_.push_back(name);
    text_.clear();
    if (name.Is(true, L"response") && Depth(2)) {
      response_ = DavResponse();
      responseStatusSeen_ = false;
    }
    if (name.Is(true, L"propstat") && InResponse()) props_ = PropValues(), propStatus_ = 0;
    if (InProp() && Parent(1).Is(true, L"resourcetype")) {
      if (name.Is(true, L"collection")) props_.isCollection = true;
      if (name.Is(false, L"addressbook")) props_.isAddressBook = true;
    }
    if (InProp() && name.dav && Parent(1).Is(true, L"report") && Parent(2).Is(true, L"supported-report"))
      props_.reports.push_back(Utf8(name.local));
  }

  void Text(const wchar_t* text, UINT length) { text_.append(text, length); }

  void End() {
    const Name name = stack_.back();
    std::string value = Utf8(text_);
    text_.clear();
    const size_t depth = stack_.size();
    const bool inResponse = depth >= 2 && stack_[1].Is(true, L"response");
    const bool inPropstat = depth >= 3 && inResponse && stack_[2].Is(true, L"propstat");
    const bool inProp = depth >= 4 && inPropstat && stack_[3].Is(true, L"prop");
    if (depth == 3 && inResponse) EndInResponse(name, value);
    else if (depth == 4 && inPropstat && name.Is(true, L"status")) propStatus_ = StatusOfLine(Trim(value));
    else if (depth == 5 && inProp) EndProp(name, value);
    else if (depth == 6 && inProp && name.Is(true, L"href")) EndPropHref(value);
    else if (depth == 2 && name.Is(true, L"sync-token")) answer_.syncToken = Trim(value);
    if (depth == 2 && name.Is(true, L"response")) answer_.responses.push_back(response_);
    stack_.pop_back();
  }

  bool NotMultistatus() const { return notMultistatus_; }

 private:
  static std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
  }
  bool Depth(size_t depth) const { return stack_.size() == depth; }
  // The element `up` levels above the top one (0 the top).
  const Name& Parent(size_t up) const {
    static const Name none;
    return up < stack_.size() ? stack_[stack_.size() - 1 - up] : none;
  }
  bool InResponse() const { return stack_.size() == 3 && Parent(1).Is(true, L"response"); }
  // Inside <multistatus><response><propstat><prop>, at any depth below prop.
  bool InProp() const {
    return stack_.size() >= 5 && stack_[1].Is(true, L"response") && stack_[2].Is(true, L"propstat") &&
           stack_[3].Is(true, L"prop");
  }

  void EndInResponse(const Name& name, const std::string& value) {
    if (name.Is(true, L"href")) response_.href = ResolveDavHref(base_, value);
    if (name.Is(true, L"status")) {
      response_.status = StatusOfLine(Trim(value));
      responseStatusSeen_ = true;
    }
    if (name.Is(true, L"propstat")) EndPropstat();
  }

  void EndPropstat() {
    if (!responseStatusSeen_ && response_.status == 0) response_.status = propStatus_;
    if (propStatus_ < 200 || propStatus_ > 299) return;
    if (!props_.etag.empty()) response_.etag = props_.etag;
    if (!props_.addressData.empty()) response_.addressData = props_.addressData;
    if (!props_.displayName.empty()) response_.displayName = props_.displayName;
    if (!props_.principal.empty()) response_.currentUserPrincipal = props_.principal;
    if (!props_.home.empty()) response_.addressbookHomeSet = props_.home;
    response_.isAddressBook = response_.isAddressBook || props_.isAddressBook;
    response_.isCollection = response_.isCollection || props_.isCollection;
    for (const std::string& report : props_.reports) response_.supportedReports.push_back(report);
  }

  // Direct children of <prop>.
  void EndProp(const Name& name, const std::string& value) {
    if (name.Is(true, L"getetag")) props_.etag = Trim(value);
    if (name.Is(false, L"address-data")) props_.addressData = value;
    if (name.Is(true, L"displayname")) props_.displayName = Trim(value);
  }

  // <current-user-principal><href> and <addressbook-home-set><href> (the first href of each).
  void EndPropHref(const std::string& value) {
    const Name& property = Parent(1);
    if (property.Is(true, L"current-user-principal") && props_.principal.empty())
      props_.principal = ResolveDavHref(base_, value);
    if (property.Is(false, L"addressbook-home-set") && props_.home.empty())
      props_.home = ResolveDavHref(base_, value);
  }

  const DavUrl& base_;
  DavAnswer& answer_;
  std::vector<Name> stack_;
  std::wstring text_;
  DavResponse response_;
  bool responseStatusSeen_ = false;
  PropValues props_;
  int propStatus_ = 0;
  bool notMultistatus_ = false;
};

Name NameOf(IXmlReader* reader) {
  Name name;
  const wchar_t* space = nullptr;
  const wchar_t* local = nullptr;
  UINT length = 0;
  reader->GetNamespaceUri(&space, nullptr);
  reader->GetLocalName(&local, &length);
  if (space) {
    name.dav = wcscmp(space, kDav) == 0;
    name.carddav = wcscmp(space, kCardDav) == 0;
  }
  if (local) name.local.assign(local, length);
  return name;
}

// The XML reader over a copy of the body in a memory stream.
bool OpenReader(const std::string& body, ComPointer<IStream>& stream, ComPointer<IXmlReader>& reader) {
  CreateXmlReaderFunction factory = XmlReaderFactory();
  if (!factory) return false;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, body.size() ? body.size() : 1);
  if (!memory) return false;
  if (void* bytes = GlobalLock(memory)) {
    CopyMemory(bytes, body.data(), body.size());
    GlobalUnlock(memory);
  }
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.Out()))) {
    GlobalFree(memory);
    return false;
  }
  ULARGE_INTEGER size;
  size.QuadPart = body.size();
  stream->SetSize(size);
  if (FAILED(factory(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.Out()), nullptr))) return false;
  reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  reader->SetProperty(XmlReaderProperty_MaxElementDepth, 64);
  return SUCCEEDED(reader->SetInput(stream.get()));
}

std::string HresultText(HRESULT result) {
  char text[16];
  wsprintfA(text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

}  // namespace

void ReadMultistatus(const std::string& body, const DavUrl& requestUrl, DavAnswer& answer) {
  answer.multistatus = false;
  answer.responses.clear();
  ComPointer<IStream> stream;
  ComPointer<IXmlReader> reader;
  if (!OpenReader(body, stream, reader)) {
    answer.failure = "the system's XML reader (xmllite.dll) is not available";
    return;
  }
  MultistatusParser parser(requestUrl, answer);
  XmlNodeType type;
  HRESULT result;
  bool sawRoot = false;
  while ((result = reader->Read(&type)) == S_OK) {
    if (type == XmlNodeType_Element) {
      sawRoot = true;
      parser.Start(NameOf(reader.get()));
      if (reader->IsEmptyElement()) parser.End();
    } else if (type == XmlNodeType_EndElement) {
      parser.End();
    } else if (type == XmlNodeType_Text || type == XmlNodeType_CDATA || type == XmlNodeType_Whitespace) {
      const wchar_t* text = nullptr;
      UINT length = 0;
      if (SUCCEEDED(reader->GetValue(&text, &length)) && text) parser.Text(text, length);
    }
    if (parser.NotMultistatus()) break;
  }
  if (result != S_OK && result != S_FALSE) {
    answer.responses.clear();
    answer.syncToken.clear();
    answer.failure = "the answer is not well-formed XML (" + HresultText(result) + ")";
    return;
  }
  if (!sawRoot || parser.NotMultistatus()) {
    answer.responses.clear();
    answer.failure = "the answer is not a WebDAV multistatus";
    return;
  }
  answer.multistatus = true;
}
