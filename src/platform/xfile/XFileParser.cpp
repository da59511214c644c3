#include "XFileParser.h"

#include "XFileBinaryLexer.h"
#include "XFileError.h"
#include "XFileMszip.h"
#include "XFileTemplateRegistry.h"
#include "XFileTextLexer.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>
#include <string_view>

namespace {

// Deeper nesting than this is no real model but a hostile file that would exhaust the stack.
constexpr std::size_t kMaxObjectDepth = 256;
constexpr std::size_t kMaxTemplateNesting = 32;
constexpr std::uint64_t kSaturated = std::uint64_t{1} << 48;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

template <class Lexer> class ParseRun {
public:
    ParseRun(Lexer& lexer, XFileTemplateRegistry& registry, const std::vector<std::string>& kept)
        : m_lexer(lexer), m_registry(registry), m_kept(kept) {}

    void File(std::vector<XFileDataObject>& out) {
        for (;;) {
            const XFileTokenKind next = m_lexer.Peek();
            if (next == XFileTokenKind::End)
                return;
            if (next == XFileTokenKind::CBrace) {
                StrayBrace();
                continue;
            }
            if (next != XFileTokenKind::Name)
                m_lexer.Fail("expected a template or a data object, found " + m_lexer.DescribeNext());
            const XFileLocation where = m_lexer.Location();
            const std::string_view word = m_lexer.ReadName();
            XFileDataObject object;
            if (EqualsIgnoringCase(word, "template"))
                Template();
            else if (Object(word, where, object, 0))
                out.push_back(std::move(object));
        }
    }

private:
    // Some exporters leave a '}' that closes nothing at the top level (before an animation set, say);
    // other readers step over it, and so does this one, with a warning.
    void StrayBrace() {
        const XFileLocation where = m_lexer.Location();
        m_lexer.Expect(XFileTokenKind::CBrace);
        std::cerr << "X file warning: " << where.Describe() << ": skipped a '}' that closes nothing\n";
    }

    void Template() {
        XFileTemplate declared;
        declared.name = m_lexer.ReadName();
        m_lexer.Expect(XFileTokenKind::OBrace);
        if (m_lexer.Peek() == XFileTokenKind::Guid) {
            declared.id = m_lexer.ReadGuid();
            declared.hasId = true;
        }
        for (;;) {
            switch (m_lexer.PeekRaw()) {
            case XFileTokenKind::Semicolon:
            case XFileTokenKind::Comma:
                m_lexer.Expect(m_lexer.PeekRaw());
                break;
            case XFileTokenKind::CBrace:
                m_lexer.Expect(XFileTokenKind::CBrace);
                m_registry.Add(std::move(declared));
                return;
            case XFileTokenKind::OBracket:
                Restrictions(declared);
                break;
            case XFileTokenKind::Name:
                Member(declared);
                break;
            case XFileTokenKind::End:
                m_lexer.Fail("the file ends inside template '" + declared.name + "'");
            default:
                m_lexer.Fail("expected a member of template '" + declared.name + "', found " +
                             m_lexer.DescribeNext());
            }
        }
    }

    void Member(XFileTemplate& declared) {
        XFileTemplateMember member;
        const std::string_view word = m_lexer.ReadName();
        if (EqualsIgnoringCase(word, "array")) {
            member.isArray = true;
            member.typeName = m_lexer.ReadName();
            member.name = m_lexer.ReadName();
            if (m_lexer.PeekRaw() != XFileTokenKind::OBracket)
                m_lexer.Fail("expected '[' after array '" + member.name + "', found " +
                             m_lexer.DescribeNext());
            while (m_lexer.PeekRaw() == XFileTokenKind::OBracket)
                member.dimensions.push_back(Dimension());
        } else {
            member.typeName = word;
            if (m_lexer.PeekRaw() == XFileTokenKind::Name)
                member.name = m_lexer.ReadName();
        }
        if (m_lexer.PeekRaw() == XFileTokenKind::Semicolon)
            m_lexer.Expect(XFileTokenKind::Semicolon);
        declared.members.push_back(std::move(member));
    }

    XFileArrayDimension Dimension() {
        m_lexer.Expect(XFileTokenKind::OBracket);
        XFileArrayDimension dimension;
        if (m_lexer.PeekRaw() == XFileTokenKind::Number)
            dimension.value = m_lexer.ReadInteger();
        else
            dimension.memberName = m_lexer.ReadName();
        m_lexer.Expect(XFileTokenKind::CBracket);
        return dimension;
    }

    void Restrictions(XFileTemplate& declared) {
        m_lexer.Expect(XFileTokenKind::OBracket);
        for (;;) {
            switch (m_lexer.PeekRaw()) {
            case XFileTokenKind::CBracket:
                m_lexer.Expect(XFileTokenKind::CBracket);
                return;
            case XFileTokenKind::Dot:
                m_lexer.Expect(XFileTokenKind::Dot);
                declared.open = true;
                break;
            case XFileTokenKind::Comma:
                m_lexer.Expect(XFileTokenKind::Comma);
                break;
            case XFileTokenKind::Guid:
                m_lexer.ReadGuid();
                break;
            case XFileTokenKind::Name:
                declared.restrictions.emplace_back(m_lexer.ReadName());
                break;
            default:
                m_lexer.Fail("expected the restrictions of template '" + declared.name + "', found " +
                             m_lexer.DescribeNext());
            }
        }
    }

    bool Kept(const XFileTemplate& declared) const {
        return m_kept.empty() || std::any_of(m_kept.begin(), m_kept.end(), [&](const std::string& type) {
                   return EqualsIgnoringCase(type, declared.name);
               });
    }

    // Reads an object whose type name (found at `where`) was just read. Returns false when it was skipped.
    bool Object(std::string_view type, const XFileLocation& where, XFileDataObject& out, std::size_t depth) {
        std::string_view name;
        if (m_lexer.Peek() != XFileTokenKind::OBrace)
            name = m_lexer.ReadName();
        m_lexer.Expect(XFileTokenKind::OBrace);
        const int index = m_registry.Find(type);
        if (index < 0 || !m_registry.At(index).usable || !Kept(m_registry.At(index))) {
            m_lexer.SkipObjectBody();
            return false;
        }
        if (depth >= kMaxObjectDepth)
            m_lexer.Fail("data objects are nested more than " + std::to_string(kMaxObjectDepth) + " deep");
        const XFileTemplate& declared = m_registry.At(index);
        out.type = declared.name;
        out.name = name;
        out.where = where;
        if (m_lexer.Peek() == XFileTokenKind::Guid) {
            out.id = m_lexer.ReadGuid();
            out.hasId = true;
        }
        Members(declared, out, 0);
        Children(out, depth);
        return true;
    }

    void Children(XFileDataObject& out, std::size_t depth) {
        for (;;) {
            switch (m_lexer.Peek()) {
            case XFileTokenKind::CBrace:
                m_lexer.Expect(XFileTokenKind::CBrace);
                return;
            case XFileTokenKind::OBrace:
                Reference(out.children.emplace_back());
                break;
            case XFileTokenKind::Name: {
                const XFileLocation where = m_lexer.Location();
                const std::string_view type = m_lexer.ReadName();
                XFileDataObject child;
                if (Object(type, where, child, depth + 1))
                    out.children.push_back(std::move(child));
                break;
            }
            case XFileTokenKind::End:
                m_lexer.Fail("the file ends inside '" + out.type + "' begun at " + out.where.Describe());
            case XFileTokenKind::Number:
            case XFileTokenKind::String:
                m_lexer.Fail("'" + out.type + "' holds more values than its template declares");
            default:
                m_lexer.Fail("expected '}' to close '" + out.type + "', found " + m_lexer.DescribeNext());
            }
        }
    }

    void Reference(XFileDataObject& out) {
        m_lexer.Expect(XFileTokenKind::OBrace);
        out.isReference = true;
        out.where = m_lexer.Location();
        if (m_lexer.Peek() != XFileTokenKind::Guid && m_lexer.Peek() != XFileTokenKind::CBrace)
            out.name = m_lexer.ReadName();
        if (m_lexer.Peek() == XFileTokenKind::Guid) {
            out.id = m_lexer.ReadGuid();
            out.hasId = true;
        }
        m_lexer.Expect(XFileTokenKind::CBrace);
    }

    void Members(const XFileTemplate& declared, XFileDataObject& out, std::size_t nesting) {
        if (nesting > kMaxTemplateNesting)
            m_lexer.Fail("template '" + declared.name + "' nests other templates too deeply");
        const std::size_t base = m_scope.size();
        m_scope.resize(base + declared.members.size(), 0);
        for (std::size_t i = 0; i < declared.members.size(); ++i) {
            const XFileTemplateMember& member = declared.members[i];
            const std::uint64_t count = member.isArray ? ElementCount(member, base) : 1;
            switch (member.kind) {
            case XFileValueKind::Integer:
                if (!member.isArray) {
                    m_scope[base + i] = out.integers.emplace_back(m_lexer.ReadInteger());
                    break;
                }
                CheckFits(count, 1, member);
                ReadIntegers(out.integers, count);
                break;
            case XFileValueKind::Float:
                CheckFits(count, 1, member);
                ReadFloats(out.floats, count);
                break;
            case XFileValueKind::String:
                CheckFits(count, 1, member);
                for (std::uint64_t k = 0; k < count; ++k)
                    out.strings.emplace_back(m_lexer.ReadString());
                break;
            case XFileValueKind::Template:
                Nested(m_registry.At(member.templateIndex), member, count, out, nesting);
                break;
            }
        }
        m_scope.resize(base);
    }

    void Nested(const XFileTemplate& inner, const XFileTemplateMember& member, std::uint64_t count,
                XFileDataObject& out, std::size_t nesting) {
        CheckFits(count, inner.minValues, member);
        // An instance of a template that declares no values reads nothing, however many there are;
        // walking them one by one multiplies the work by each level of nesting.
        if (inner.minValues == 0)
            return;
        if (inner.flatFloats > 0) {
            ReadFloats(out.floats, count * inner.flatFloats);
            return;
        }
        for (std::uint64_t k = 0; k < count; ++k) {
            const std::size_t integers = out.integers.size();
            const std::size_t floats = out.floats.size();
            Members(inner, out, nesting + 1);
            if (k == 0)
                ReserveLike(out, count - 1, out.integers.size() - integers, out.floats.size() - floats);
        }
    }

    // Elements of one array are mostly alike (triangles, say), so the first one tells how much the rest
    // will need; the input left caps the guess.
    void ReserveLike(XFileDataObject& out, std::uint64_t count, std::size_t integers, std::size_t floats) {
        const std::uint64_t cap = m_lexer.RemainingBytes() / Lexer::kMinBytesPerValue;
        const auto guess = [&](std::uint64_t each) {
            return each != 0 && count > cap / each ? cap : count * each;
        };
        out.integers.reserve(out.integers.size() + guess(integers));
        out.floats.reserve(out.floats.size() + guess(floats));
    }

    void ReadIntegers(std::vector<std::uint32_t>& values, std::uint64_t count) {
        m_lexer.AppendIntegers(values, count);
    }

    void ReadFloats(std::vector<float>& values, std::uint64_t count) { m_lexer.AppendFloats(values, count); }

    std::uint64_t ElementCount(const XFileTemplateMember& member, std::size_t base) const {
        std::uint64_t count = 1;
        for (const XFileArrayDimension& dimension : member.dimensions) {
            const std::uint64_t size =
                dimension.fromMember ? m_scope[base + dimension.value] : dimension.value;
            count = size != 0 && count > kSaturated / size ? kSaturated : count * size;
        }
        return count;
    }

    // Refuses a count before anything is allocated for it when the rest of the input cannot hold it.
    void CheckFits(std::uint64_t count, std::uint64_t valuesPerElement, const XFileTemplateMember& member) {
        const std::uint64_t limit = m_lexer.RemainingBytes() / Lexer::kMinBytesPerValue;
        std::uint64_t values = 0;
        if (__builtin_mul_overflow(count, std::max<std::uint64_t>(valuesPerElement, 1), &values) ||
            values > limit)
            m_lexer.Fail("'" + member.name + "' declares " + std::to_string(count) +
                         " elements, more than the rest of the file can hold");
    }

    Lexer& m_lexer;
    XFileTemplateRegistry& m_registry;
    const std::vector<std::string>& m_kept;
    // Values of the integer members of the templates being read, for arrays sized by them.
    std::vector<std::uint32_t> m_scope;
};

struct Header {
    bool text = true;
    bool compressed = false;
    bool doubles = false;
};

Header ReadHeader(std::span<const std::uint8_t> file) {
    if (file.size() < XFileMszip::kHeaderSize)
        throw XFileError("not an X file: shorter than the 16-byte header");
    const std::string_view bytes(reinterpret_cast<const char*>(file.data()), XFileMszip::kHeaderSize);
    if (bytes.substr(0, 4) != "xof ")
        throw XFileError("not an X file: it does not begin with \"xof \"");
    const std::string_view format = bytes.substr(8, 4);
    const std::string_view floatSize = bytes.substr(12, 4);
    Header header;
    if (format == "txt " || format == "tzip")
        header.text = true;
    else if (format == "bin " || format == "bzip")
        header.text = false;
    else
        throw XFileError("byte offset 8: unknown X file format \"" + std::string(format) + "\"");
    header.compressed = format[1] == 'z';
    if (floatSize != "0032" && floatSize != "0064")
        throw XFileError("byte offset 12: unsupported float size \"" + std::string(floatSize) + "\"");
    header.doubles = floatSize == "0064";
    return header;
}

template <class Lexer>
std::vector<XFileDataObject> ParseWith(Lexer& lexer, XFileTemplateRegistry& registry,
                                       const std::vector<std::string>& kept) {
    std::vector<XFileDataObject> objects;
    ParseRun<Lexer>(lexer, registry, kept).File(objects);
    return objects;
}

} // namespace

XFileParser::XFileParser(std::vector<std::string> keptTypes) : m_keptTypes(std::move(keptTypes)) {}

std::vector<XFileDataObject> XFileParser::Parse(std::span<const std::uint8_t> file) const {
    const Header header = ReadHeader(file);
    XFileTemplateRegistry registry;
    XFileTextLexer standard(XFileTemplateRegistry::StandardDeclarations(), 0);
    ParseWith(standard, registry, m_keptTypes);

    // Inflated text is shared with the places of its objects, which count their lines in it when described.
    std::shared_ptr<const std::vector<std::uint8_t>> inflated;
    std::span<const std::uint8_t> body = file.subspan(XFileMszip::kHeaderSize);
    std::size_t base = XFileMszip::kHeaderSize;
    if (header.compressed) {
        inflated = std::make_shared<const std::vector<std::uint8_t>>(XFileMszip::Inflate(body));
        body = *inflated;
        base = 0;
    }
    if (header.text) {
        // Text lexing starts after the header in the same buffer so that lines count from the file's top.
        const std::span<const std::uint8_t> whole = header.compressed ? body : file;
        XFileTextLexer lexer(std::string_view(reinterpret_cast<const char*>(whole.data()), whole.size()),
                             header.compressed ? 0 : XFileMszip::kHeaderSize, header.compressed, inflated);
        return ParseWith(lexer, registry, m_keptTypes);
    }
    XFileBinaryLexer lexer(body, base, header.doubles, header.compressed);
    return ParseWith(lexer, registry, m_keptTypes);
}
