// What comes next in an X file, as both tokenizers report it to the parser. Names include the keywords
// ("template", "array") and the primitive type names; binary files spell those as tokens of their own,
// which the binary tokenizer turns into the same words.
#pragma once

enum class XFileTokenKind {
    End,
    Name,
    String,
    Number,
    Guid,
    OBrace,
    CBrace,
    OBracket,
    CBracket,
    Comma,
    Semicolon,
    Dot,
    Other,
};

// How a message names a token kind: "'{'", "a name".
inline const char* XFileTokenText(XFileTokenKind kind) {
    switch (kind) {
    case XFileTokenKind::End:
        return "the end of the file";
    case XFileTokenKind::Name:
        return "a name";
    case XFileTokenKind::String:
        return "a string";
    case XFileTokenKind::Number:
        return "a number";
    case XFileTokenKind::Guid:
        return "a UUID";
    case XFileTokenKind::OBrace:
        return "'{'";
    case XFileTokenKind::CBrace:
        return "'}'";
    case XFileTokenKind::OBracket:
        return "'['";
    case XFileTokenKind::CBracket:
        return "']'";
    case XFileTokenKind::Comma:
        return "','";
    case XFileTokenKind::Semicolon:
        return "';'";
    case XFileTokenKind::Dot:
        return "'.'";
    case XFileTokenKind::Other:
        break;
    }
    return "punctuation";
}
