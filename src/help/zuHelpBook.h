#pragma once
// Where the pages of a help book are. A book is named by a folder, an HTML file in a folder, or
// a web address:
// - the program's own help is a folder of HTML pages with "index.html" as its contents and a
//   context map "helpmap.dat" ([Contexts] number=page, [Keywords] word=page, [Popups]
//   number=text; keywords compare without letter case);
// - a PHP manual is the folder of its HTML pages ("index.html", the function index
//   "indexes.functions.html", a page "function.NAME.html" per function with "_" written "-",
//   "class.NAME.html" per class) or its web address; an address holding "%s" takes the
//   keyword there, any other address gets "function.NAME.php" in its folder, as php.net lays
//   out its manual.

#include <QUrl>

#include <optional>
#include <string>

class THelpBook {
public:
    explicit THelpBook(std::string location);

    const std::string& Location() const { return FLocation; }
    // A web address, or a folder or file that exists.
    bool Exists() const;
    bool IsRemote() const;

    QUrl Contents() const;
    // The book's index (its contents when it has none).
    QUrl Index() const;
    // The page of a keyword; none when the book has no page for it. A web address always has one.
    std::optional<QUrl> Keyword(const std::string& keyword) const;
    // The page of a context number from the map; none when the map has no such number.
    std::optional<QUrl> Context(int context) const;
    // The pop-up text of a context number from the map; "" for none.
    std::string PopupText(int context) const;

private:
    std::string Folder() const;
    std::string MapValue(const std::string& section, const std::string& key) const;
    std::optional<QUrl> Page(const std::string& name) const;

    std::string FLocation;
};
