#pragma once
// Read access to the settings document. CConfigXMLPersistImp parses the settings file once, at
// construction; every getter reads the document in memory and never touches the file. GUI
// thread only; no locking.
//
// A setting is found as the root element's child named after the section, then that element's
// child named after the key; only its "value" attribute is read. The root's name plays no part,
// and whatever precedes the root (an XML declaration, comments) is skipped. Every getter returns
// its default when the section, the key or the attribute is missing, or when the text cannot be
// read as the asked type (numbers in the C locale; a 32-bit integer out of range is unreadable).
#include <memory>
#include <string>

class IConfigPersistent {
public:
    virtual ~IConfigPersistent() = default;
    virtual double GetDoubleValue(const wchar_t* section, const wchar_t* key, double def) = 0;
    virtual long GetLongValue(const wchar_t* section, const wchar_t* key, long def) = 0;
    // "true", "yes", "1" and "false", "no", "0", compared without regard to case.
    virtual bool GetBoolValue(const wchar_t* section, const wchar_t* key, bool def) = 0;
    virtual int GetIntValue(const wchar_t* section, const wchar_t* key, int def) = 0;
    virtual std::wstring GetStringValue(const wchar_t* section, const wchar_t* key,
                                        const std::wstring& def) = 0;
    // Parses the text and adds the nodes found to the document; null does nothing.
    virtual void LoadFromText(const char* xmlText) = 0;
};

class CConfigXMLPersistImp final : public IConfigPersistent {
public:
    // Loads the file when it can be read and parsed; otherwise the document stays empty (every
    // read returns its default). A null path leaves the document empty. Files larger than
    // kMaxFileSize, and anything but a regular file (a named pipe, a device), are not settings
    // files and are ignored without blocking.
    explicit CConfigXMLPersistImp(const wchar_t* path);
    ~CConfigXMLPersistImp() override;

    static constexpr long kMaxFileSize = 4 * 1024 * 1024;

    double GetDoubleValue(const wchar_t* section, const wchar_t* key, double def) override;
    long GetLongValue(const wchar_t* section, const wchar_t* key, long def) override;
    bool GetBoolValue(const wchar_t* section, const wchar_t* key, bool def) override;
    int GetIntValue(const wchar_t* section, const wchar_t* key, int def) override;
    std::wstring GetStringValue(const wchar_t* section, const wchar_t* key,
                                const std::wstring& def) override;
    void LoadFromText(const char* xmlText) override;

private:
    // The "value" text of section/key, or null.
    const char* FindValue(const wchar_t* section, const wchar_t* key) const;

    struct Document;
    std::unique_ptr<Document> m_doc;
};

// The process-wide store, published by start-up (null before).
extern IConfigPersistent* g_configPersistent;
