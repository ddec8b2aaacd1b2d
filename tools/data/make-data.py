#!/usr/bin/env python3
"""Writes the completion and reference data files of src/data from the tables below:
html.xml (the HTML 4.01 elements with their attributes and attribute values), css.xml (the
CSS 2.1 properties by group with their values), javascript.xml (the script language's standard
objects and the browser objects with their members), php-variables.xml (the predefined
variables PHP documents) and htmlentity.dat (the HTML 4.01 character entities, taken from the
installed PHP's translation table, each with its Unicode name).

    python3 tools/data/make-data.py src/data

The elements of html.xml stay in alphabetical order: the completion finds a tag by the position
at which the tags of its first letter begin. No file carries comments, so every child node is
an element.
"""

import subprocess
import sys
import unicodedata
from pathlib import Path
from xml.sax.saxutils import quoteattr

# ---- HTML 4.01

CORE = ["id", "class", "style", "title"]
I18N = ["lang", "dir"]
EVENTS = ["onclick", "ondblclick", "onmousedown", "onmouseup", "onmouseover", "onmousemove",
          "onmouseout", "onkeypress", "onkeydown", "onkeyup"]
ATTRS = CORE + I18N + EVENTS
FOCUS = ["tabindex", "accesskey", "onfocus", "onblur"]
CELLHALIGN = ["align", "char", "charoff"]
CELLVALIGN = ["valign"]

VALUES = {
    "dir": ["ltr", "rtl"],
    "shape": ["rect", "circle", "poly", "default"],
    "target": ["_blank", "_self", "_parent", "_top"],
    "clear": ["left", "all", "right", "none"],
    "valign": ["top", "middle", "bottom", "baseline"],
    "method": ["get", "post"],
    "enctype": ["application/x-www-form-urlencoded", "multipart/form-data"],
    "frameborder": ["1", "0"],
    "scrolling": ["yes", "no", "auto"],
    "media": ["screen", "tty", "tv", "projection", "handheld", "print", "braille", "aural", "all"],
    "valuetype": ["data", "ref", "object"],
    "frame": ["void", "above", "below", "hsides", "lhs", "rhs", "vsides", "box", "border"],
    "rules": ["none", "groups", "rows", "cols", "all"],
    "scope": ["row", "col", "rowgroup", "colgroup"],
    "rel": ["alternate", "stylesheet", "start", "next", "prev", "contents", "index", "glossary",
            "copyright", "chapter", "section", "subsection", "appendix", "help", "bookmark"],
    "http-equiv": ["content-type", "content-language", "expires", "refresh", "pragma"],
}
for flag in ["nohref", "disabled", "compact", "noshade", "ismap", "checked", "readonly", "declare",
             "selected", "defer", "multiple", "nowrap", "noresize"]:
    VALUES[flag] = [flag]

ALIGN_BLOCK = ["left", "center", "right", "justify"]
ALIGN_IMAGE = ["top", "middle", "bottom", "left", "right"]
ALIGN_CAPTION = ["top", "bottom", "left", "right"]
ALIGN_CELL = ["left", "center", "right", "justify", "char"]

# name: (has an end tag, attributes, values of attributes that differ between elements)
ELEMENTS = {
    "a": (True, ATTRS + ["charset", "type", "name", "href", "hreflang", "target", "rel", "rev", "shape",
                         "coords"] + FOCUS, {}),
    "abbr": (True, ATTRS, {}),
    "acronym": (True, ATTRS, {}),
    "address": (True, ATTRS, {}),
    "applet": (True, CORE + ["codebase", "archive", "code", "object", "alt", "name", "width", "height",
                             "align", "hspace", "vspace"], {"align": ALIGN_IMAGE}),
    "area": (False, ATTRS + ["shape", "coords", "href", "target", "nohref", "alt"] + FOCUS, {}),
    "b": (True, ATTRS, {}),
    "base": (False, ["href", "target"], {}),
    "basefont": (False, ["id", "size", "color", "face"], {}),
    "bdo": (True, CORE + I18N, {}),
    "big": (True, ATTRS, {}),
    "blockquote": (True, ATTRS + ["cite"], {}),
    "body": (True, ATTRS + ["onload", "onunload", "background", "text", "link", "vlink", "alink", "bgcolor"], {}),
    "br": (False, CORE + ["clear"], {}),
    "button": (True, ATTRS + ["name", "value", "type", "disabled"] + FOCUS, {"type": ["button", "submit", "reset"]}),
    "caption": (True, ATTRS + ["align"], {"align": ALIGN_CAPTION}),
    "center": (True, ATTRS, {}),
    "cite": (True, ATTRS, {}),
    "code": (True, ATTRS, {}),
    "col": (False, ATTRS + ["span", "width"] + CELLHALIGN + CELLVALIGN, {"align": ALIGN_CELL}),
    "colgroup": (True, ATTRS + ["span", "width"] + CELLHALIGN + CELLVALIGN, {"align": ALIGN_CELL}),
    "dd": (True, ATTRS, {}),
    "del": (True, ATTRS + ["cite", "datetime"], {}),
    "dfn": (True, ATTRS, {}),
    "dir": (True, ATTRS + ["compact"], {}),
    "div": (True, ATTRS + ["align"], {"align": ALIGN_BLOCK}),
    "dl": (True, ATTRS + ["compact"], {}),
    "dt": (True, ATTRS, {}),
    "em": (True, ATTRS, {}),
    "fieldset": (True, ATTRS, {}),
    "font": (True, CORE + I18N + ["size", "color", "face"], {}),
    "form": (True, ATTRS + ["action", "method", "enctype", "accept", "name", "onsubmit", "onreset", "target",
                            "accept-charset"], {}),
    "frame": (False, CORE + ["longdesc", "name", "src", "frameborder", "marginwidth", "marginheight",
                             "noresize", "scrolling"], {}),
    "frameset": (True, CORE + ["rows", "cols", "onload", "onunload"], {}),
    "h1": (True, ATTRS + ["align"], {"align": ALIGN_BLOCK}),
    "h2": (True, ATTRS + ["align"], {"align": ALIGN_BLOCK}),
    "h3": (True, ATTRS + ["align"], {"align": ALIGN_BLOCK}),
    "h4": (True, ATTRS + ["align"], {"align": ALIGN_BLOCK}),
    "h5": (True, ATTRS + ["align"], {"align": ALIGN_BLOCK}),
    "h6": (True, ATTRS + ["align"], {"align": ALIGN_BLOCK}),
    "head": (True, I18N + ["profile"], {}),
    "hr": (False, ATTRS + ["align", "noshade", "size", "width"], {"align": ["left", "center", "right"]}),
    "html": (True, I18N + ["version"], {}),
    "i": (True, ATTRS, {}),
    "iframe": (True, CORE + ["longdesc", "name", "src", "frameborder", "marginwidth", "marginheight",
                             "scrolling", "align", "height", "width"], {"align": ALIGN_IMAGE}),
    "img": (False, ATTRS + ["src", "alt", "longdesc", "name", "height", "width", "usemap", "ismap", "align",
                            "border", "hspace", "vspace"], {"align": ALIGN_IMAGE}),
    "input": (False, ATTRS + ["type", "name", "value", "checked", "disabled", "readonly", "size", "maxlength",
                              "src", "alt", "usemap", "ismap", "onselect", "onchange", "accept", "align"] + FOCUS,
              {"type": ["text", "password", "checkbox", "radio", "submit", "reset", "file", "hidden", "image",
                        "button"], "align": ALIGN_IMAGE}),
    "ins": (True, ATTRS + ["cite", "datetime"], {}),
    "isindex": (False, CORE + I18N + ["prompt"], {}),
    "kbd": (True, ATTRS, {}),
    "label": (True, ATTRS + ["for", "accesskey", "onfocus", "onblur"], {}),
    "legend": (True, ATTRS + ["accesskey", "align"], {"align": ALIGN_CAPTION}),
    "li": (True, ATTRS + ["type", "value"], {"type": ["disc", "square", "circle", "1", "a", "A", "i", "I"]}),
    "link": (False, ATTRS + ["charset", "href", "hreflang", "type", "rel", "rev", "media", "target"],
             {"type": ["text/css"]}),
    "map": (True, ATTRS + ["name"], {}),
    "menu": (True, ATTRS + ["compact"], {}),
    "meta": (False, I18N + ["http-equiv", "name", "content", "scheme"], {}),
    "noframes": (True, ATTRS, {}),
    "noscript": (True, ATTRS, {}),
    "object": (True, ATTRS + ["declare", "classid", "codebase", "data", "type", "codetype", "archive", "standby",
                              "height", "width", "usemap", "name", "tabindex", "align", "border", "hspace",
                              "vspace"], {"align": ALIGN_IMAGE}),
    "ol": (True, ATTRS + ["type", "compact", "start"], {"type": ["1", "a", "A", "i", "I"]}),
    "optgroup": (True, ATTRS + ["disabled", "label"], {}),
    "option": (True, ATTRS + ["selected", "disabled", "label", "value"], {}),
    "p": (True, ATTRS + ["align"], {"align": ALIGN_BLOCK}),
    "param": (False, ["id", "name", "value", "valuetype", "type"], {}),
    "pre": (True, ATTRS + ["width"], {}),
    "q": (True, ATTRS + ["cite"], {}),
    "s": (True, ATTRS, {}),
    "samp": (True, ATTRS, {}),
    "script": (True, ["charset", "type", "src", "defer", "language", "event", "for"],
               {"type": ["text/javascript", "text/vbscript"], "language": ["javascript", "vbscript"]}),
    "select": (True, ATTRS + ["name", "size", "multiple", "disabled", "tabindex", "onfocus", "onblur",
                              "onchange"], {}),
    "small": (True, ATTRS, {}),
    "span": (True, ATTRS, {}),
    "strike": (True, ATTRS, {}),
    "strong": (True, ATTRS, {}),
    "style": (True, I18N + ["type", "media", "title"], {"type": ["text/css"]}),
    "sub": (True, ATTRS, {}),
    "sup": (True, ATTRS, {}),
    "table": (True, ATTRS + ["summary", "width", "border", "frame", "rules", "cellspacing", "cellpadding",
                             "align", "bgcolor"], {"align": ["left", "center", "right"]}),
    "tbody": (True, ATTRS + CELLHALIGN + CELLVALIGN, {"align": ALIGN_CELL}),
    "td": (True, ATTRS + ["abbr", "axis", "headers", "scope", "rowspan", "colspan"] + CELLHALIGN + CELLVALIGN +
           ["nowrap", "bgcolor", "width", "height"], {"align": ALIGN_CELL}),
    "textarea": (True, ATTRS + ["name", "rows", "cols", "disabled", "readonly", "onselect", "onchange"] + FOCUS, {}),
    "tfoot": (True, ATTRS + CELLHALIGN + CELLVALIGN, {"align": ALIGN_CELL}),
    "th": (True, ATTRS + ["abbr", "axis", "headers", "scope", "rowspan", "colspan"] + CELLHALIGN + CELLVALIGN +
           ["nowrap", "bgcolor", "width", "height"], {"align": ALIGN_CELL}),
    "thead": (True, ATTRS + CELLHALIGN + CELLVALIGN, {"align": ALIGN_CELL}),
    "title": (True, I18N, {}),
    "tr": (True, ATTRS + CELLHALIGN + CELLVALIGN + ["bgcolor"], {"align": ALIGN_CELL}),
    "tt": (True, ATTRS, {}),
    "u": (True, ATTRS, {}),
    "ul": (True, ATTRS + ["type", "compact"], {"type": ["disc", "square", "circle"]}),
    "var": (True, ATTRS, {}),
}

# Where the tags of each first letter begin (1-based), as the completion looks them up.
FIRST_LETTER = {"A": 1, "B": 7, "C": 16, "D": 22, "E": 29, "F": 30, "H": 35, "I": 44, "K": 50, "L": 51,
                "M": 55, "N": 58, "O": 60, "P": 64, "Q": 67, "S": 68, "T": 79, "U": 89, "V": 91}


def html_xml():
    names = sorted(ELEMENTS)
    assert len(names) == 91
    for letter, position in FIRST_LETTER.items():
        assert names[position - 1][0].upper() == letter, letter
        assert position == 1 or names[position - 2][0].upper() != letter, letter
    out = ['<?xml version="1.0" encoding="UTF-8"?>', "<html>"]
    for name in names:
        endtag, attributes, own = ELEMENTS[name]
        assert len(set(attributes)) == len(attributes), name
        head = "<tag name=%s%s" % (quoteattr(name), ' endtag="yes"' if endtag else "")
        out.append(head + ">")
        for attribute in attributes:
            values = own.get(attribute, VALUES.get(attribute, []))
            if not values:
                out.append("  <attribute name=%s/>" % quoteattr(attribute))
                continue
            out.append("  <attribute name=%s>" % quoteattr(attribute))
            out.extend("    <value name=%s/>" % quoteattr(v) for v in values)
            out.append("  </attribute>")
        out.append("</tag>")
    out.append("</html>")
    return "\n".join(out) + "\n"


# ---- CSS 2.1

COLOR = ["[color]", "transparent"]
LENGTH = ["0", "auto"]
BORDER_STYLE = ["none", "hidden", "dotted", "dashed", "solid", "double", "groove", "ridge", "inset", "outset"]
BORDER_WIDTH = ["thin", "medium", "thick"]
PAGE_BREAK = ["auto", "always", "avoid", "left", "right"]
SIDES = ["top", "right", "bottom", "left"]

CSS = [
    ("Box model", [
        *[("margin-" + s, ["0", "auto"]) for s in SIDES],
        ("margin", ["0", "auto"]),
        *[("padding-" + s, ["0"]) for s in SIDES],
        ("padding", ["0"]),
        *[("border-%s-width" % s, BORDER_WIDTH) for s in SIDES],
        ("border-width", BORDER_WIDTH),
        *[("border-%s-color" % s, COLOR) for s in SIDES],
        ("border-color", COLOR),
        *[("border-%s-style" % s, BORDER_STYLE) for s in SIDES],
        ("border-style", BORDER_STYLE),
        *[("border-" + s, ["[color]"] + BORDER_WIDTH + BORDER_STYLE) for s in SIDES],
        ("border", ["[color]"] + BORDER_WIDTH + BORDER_STYLE),
    ]),
    ("Visual formatting", [
        ("display", ["inline", "block", "list-item", "inline-block", "table", "inline-table", "table-row-group",
                     "table-header-group", "table-footer-group", "table-row", "table-column-group",
                     "table-column", "table-cell", "table-caption", "none"]),
        ("position", ["static", "relative", "absolute", "fixed"]),
        *[(s, LENGTH) for s in SIDES],
        ("float", ["left", "right", "none"]),
        ("clear", ["none", "left", "right", "both"]),
        ("z-index", ["auto", "0"]),
        ("direction", ["ltr", "rtl"]),
        ("unicode-bidi", ["normal", "embed", "bidi-override"]),
        ("width", ["auto", "100%"]),
        ("min-width", ["0"]),
        ("max-width", ["none"]),
        ("height", ["auto", "100%"]),
        ("min-height", ["0"]),
        ("max-height", ["none"]),
        ("line-height", ["normal"]),
        ("vertical-align", ["baseline", "sub", "super", "top", "text-top", "middle", "bottom", "text-bottom"]),
        ("overflow", ["visible", "hidden", "scroll", "auto"]),
        ("clip", ["auto", "rect()"]),
        ("visibility", ["visible", "hidden", "collapse"]),
    ]),
    ("Generated content", [
        ("content", ["normal", "none", "open-quote", "close-quote", "no-open-quote", "no-close-quote", "attr()",
                     "counter()", "url()"]),
        ("quotes", ["none"]),
        ("counter-reset", ["none"]),
        ("counter-increment", ["none"]),
        ("list-style-type", ["disc", "circle", "square", "decimal", "decimal-leading-zero", "lower-roman",
                             "upper-roman", "lower-greek", "lower-latin", "upper-latin", "armenian", "georgian",
                             "lower-alpha", "upper-alpha", "none"]),
        ("list-style-image", ["url()", "none"]),
        ("list-style-position", ["inside", "outside"]),
        ("list-style", ["disc", "circle", "square", "decimal", "inside", "outside", "url()", "none"]),
    ]),
    ("Paged media", [
        ("page-break-before", PAGE_BREAK),
        ("page-break-after", PAGE_BREAK),
        ("page-break-inside", ["avoid", "auto"]),
        ("orphans", ["2"]),
        ("widows", ["2"]),
    ]),
    ("Colors and backgrounds", [
        ("color", ["[color]"]),
        ("background-color", COLOR),
        ("background-image", ["url()", "none"]),
        ("background-repeat", ["repeat", "repeat-x", "repeat-y", "no-repeat"]),
        ("background-attachment", ["scroll", "fixed"]),
        ("background-position", ["left", "center", "right", "top", "bottom", "0 0"]),
        ("background", ["[color]", "transparent", "url()", "none", "repeat", "repeat-x", "repeat-y", "no-repeat",
                        "scroll", "fixed", "left", "center", "right", "top", "bottom"]),
    ]),
    ("Fonts", [
        ("font-family", ["serif", "sans-serif", "cursive", "fantasy", "monospace"]),
        ("font-style", ["normal", "italic", "oblique"]),
        ("font-variant", ["normal", "small-caps"]),
        ("font-weight", ["normal", "bold", "bolder", "lighter", "100", "200", "300", "400", "500", "600", "700",
                         "800", "900"]),
        ("font-size", ["xx-small", "x-small", "small", "medium", "large", "x-large", "xx-large", "larger",
                       "smaller"]),
        ("font", ["caption", "icon", "menu", "message-box", "small-caption", "status-bar", "normal", "italic",
                  "bold", "small-caps"]),
    ]),
    ("Text", [
        ("text-indent", ["0"]),
        ("text-align", ["left", "right", "center", "justify"]),
        ("text-decoration", ["none", "underline", "overline", "line-through", "blink"]),
        ("letter-spacing", ["normal"]),
        ("word-spacing", ["normal"]),
        ("text-transform", ["capitalize", "uppercase", "lowercase", "none"]),
        ("white-space", ["normal", "pre", "nowrap", "pre-wrap", "pre-line"]),
    ]),
    ("Tables", [
        ("caption-side", ["top", "bottom"]),
        ("table-layout", ["auto", "fixed"]),
        ("border-collapse", ["collapse", "separate"]),
        ("border-spacing", ["0"]),
        ("empty-cells", ["show", "hide"]),
    ]),
    ("User interface", [
        ("cursor", ["auto", "crosshair", "default", "pointer", "move", "e-resize", "ne-resize", "nw-resize",
                    "n-resize", "se-resize", "sw-resize", "s-resize", "w-resize", "text", "wait", "help",
                    "progress", "url()"]),
        ("outline-color", ["[color]", "invert"]),
        ("outline-style", BORDER_STYLE),
        ("outline-width", BORDER_WIDTH),
        ("outline", ["[color]", "invert"] + BORDER_WIDTH + BORDER_STYLE),
    ]),
    ("Aural", [
        ("volume", ["silent", "x-soft", "soft", "medium", "loud", "x-loud"]),
        ("speak", ["normal", "none", "spell-out"]),
        ("pause-before", ["0"]),
        ("pause-after", ["0"]),
        ("pause", ["0"]),
        ("cue-before", ["url()", "none"]),
        ("cue-after", ["url()", "none"]),
        ("cue", ["url()", "none"]),
        ("play-during", ["url()", "mix", "repeat", "auto", "none"]),
        ("azimuth", ["left-side", "far-left", "left", "center-left", "center", "center-right", "right",
                     "far-right", "right-side", "behind", "leftwards", "rightwards"]),
        ("elevation", ["below", "level", "above", "higher", "lower"]),
        ("speech-rate", ["x-slow", "slow", "medium", "fast", "x-fast", "faster", "slower"]),
        ("voice-family", ["male", "female", "child"]),
        ("pitch", ["x-low", "low", "medium", "high", "x-high"]),
        ("pitch-range", ["50"]),
        ("stress", ["50"]),
        ("richness", ["50"]),
        ("speak-punctuation", ["code", "none"]),
        ("speak-numeral", ["digits", "continuous"]),
        ("speak-header", ["once", "always"]),
    ]),
]


def css_xml():
    out = ['<?xml version="1.0" encoding="UTF-8"?>', "<css>"]
    seen = set()
    for group, properties in CSS:
        out.append("<group name=%s>" % quoteattr(group))
        for name, values in properties:
            assert name not in seen, name
            seen.add(name)
            out.append("  <property name=%s>" % quoteattr(name))
            out.extend("    <value name=%s/>" % quoteattr(v) for v in values + ["inherit"])
            out.append("  </property>")
        out.append("</group>")
    out.append("</css>")
    assert len(seen) == 115, len(seen)
    return "\n".join(out) + "\n"


# ---- the script language and the browser

JAVASCRIPT = [
    ("Array", "length concat every filter find findIndex forEach includes indexOf join lastIndexOf map pop push "
              "reduce reduceRight reverse shift slice some sort splice toString unshift fill keys values entries "
              "flat flatMap from isArray of"),
    ("Boolean", "toString valueOf"),
    ("Date", "getDate getDay getFullYear getHours getMilliseconds getMinutes getMonth getSeconds getTime "
             "getTimezoneOffset getUTCDate getUTCDay getUTCFullYear getUTCHours getUTCMilliseconds getUTCMinutes "
             "getUTCMonth getUTCSeconds setDate setFullYear setHours setMilliseconds setMinutes setMonth "
             "setSeconds setTime setUTCDate setUTCFullYear setUTCHours setUTCMilliseconds setUTCMinutes "
             "setUTCMonth setUTCSeconds toDateString toISOString toJSON toLocaleDateString toLocaleString "
             "toLocaleTimeString toString toTimeString toUTCString valueOf now parse UTC"),
    ("Function", "length name apply bind call toString"),
    ("Global", "Infinity NaN undefined decodeURI decodeURIComponent encodeURI encodeURIComponent eval isFinite "
               "isNaN parseFloat parseInt"),
    ("JSON", "parse stringify"),
    ("Math", "E LN10 LN2 LOG10E LOG2E PI SQRT1_2 SQRT2 abs acos asin atan atan2 cbrt ceil cos exp floor hypot log "
             "log10 log2 max min pow random round sign sin sqrt tan trunc"),
    ("Number", "EPSILON MAX_SAFE_INTEGER MAX_VALUE MIN_SAFE_INTEGER MIN_VALUE NaN NEGATIVE_INFINITY "
               "POSITIVE_INFINITY isFinite isInteger isNaN isSafeInteger parseFloat parseInt toExponential toFixed "
               "toLocaleString toPrecision toString valueOf"),
    ("Object", "assign create defineProperties defineProperty entries freeze getOwnPropertyDescriptor "
               "getOwnPropertyNames getPrototypeOf is isExtensible isFrozen isSealed keys preventExtensions seal "
               "setPrototypeOf values hasOwnProperty isPrototypeOf propertyIsEnumerable toLocaleString toString "
               "valueOf"),
    ("Promise", "all race reject resolve then catch finally"),
    ("RegExp", "flags global ignoreCase lastIndex multiline source exec test toString"),
    ("String", "length charAt charCodeAt concat endsWith includes indexOf lastIndexOf localeCompare match padEnd "
               "padStart repeat replace search slice split startsWith substring toLowerCase toUpperCase trim "
               "fromCharCode"),
    ("console", "assert clear debug dir error group groupEnd info log table time timeEnd trace warn"),
    ("document", "URL body cookie documentElement forms head images links readyState referrer title "
                 "addEventListener close createDocumentFragment createElement createTextNode getElementById "
                 "getElementsByClassName getElementsByName getElementsByTagName open querySelector "
                 "querySelectorAll removeEventListener write writeln"),
    ("Element", "attributes childNodes children className classList firstChild id innerHTML lastChild "
                "nextSibling outerHTML parentNode previousSibling style tagName textContent addEventListener "
                "appendChild blur click cloneNode focus getAttribute getBoundingClientRect "
                "getElementsByClassName getElementsByTagName hasAttribute insertBefore querySelector "
                "querySelectorAll removeAttribute removeChild removeEventListener replaceChild scrollIntoView "
                "setAttribute"),
    ("Event", "bubbles cancelable currentTarget target timeStamp type preventDefault stopImmediatePropagation "
              "stopPropagation"),
    ("history", "length back forward go pushState replaceState"),
    ("location", "hash host hostname href origin pathname port protocol search assign reload replace"),
    ("navigator", "appName appVersion cookieEnabled language onLine platform userAgent"),
    ("screen", "availHeight availWidth colorDepth height width"),
    ("window", "console document history innerHeight innerWidth localStorage location navigator screen "
               "sessionStorage addEventListener alert blur clearInterval clearTimeout close confirm focus open "
               "print prompt removeEventListener requestAnimationFrame scrollBy scrollTo setInterval setTimeout"),
    ("XMLHttpRequest", "onreadystatechange readyState response responseText responseXML status statusText abort "
                       "getAllResponseHeaders getResponseHeader open send setRequestHeader"),
]


def javascript_xml():
    out = ['<?xml version="1.0" encoding="UTF-8"?>', "<javascript>"]
    for name, members in JAVASCRIPT:
        out.append("<object name=%s>" % quoteattr(name))
        out.extend("  <member name=%s/>" % quoteattr(m) for m in members.split())
        out.append("</object>")
    out.append("</javascript>")
    return "\n".join(out) + "\n"


# ---- PHP's predefined variables

PHP_VARIABLES = ["$GLOBALS", "$_SERVER", "$_GET", "$_POST", "$_FILES", "$_REQUEST", "$_SESSION", "$_ENV",
                 "$_COOKIE", "$http_response_header", "$argc", "$argv", "$this"]


def php_variables_xml():
    out = ['<?xml version="1.0" encoding="UTF-8"?>', "<variables>"]
    out.extend("<variable name=%s/>" % quoteattr(v) for v in PHP_VARIABLES)
    out.append("</variables>")
    return "\n".join(out) + "\n"


# ---- HTML entities

def htmlentity_dat():
    code = ("foreach (get_html_translation_table(HTML_ENTITIES, ENT_COMPAT | ENT_HTML401, 'UTF-8') as $c => $e)"
            " echo $c, \"\\t\", $e, \"\\n\";")
    table = subprocess.run(["php", "-r", code], check=True, capture_output=True).stdout.decode("utf-8")
    lines = []
    for row in table.splitlines():
        char, entity = row.split("\t")
        lines.append("%s\t%s\t%s" % (char, entity, unicodedata.name(char).title()))
    lines.sort(key=lambda line: ord(line[0]))
    assert len(lines) >= 108
    return "\n".join(lines) + "\n"


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "src/data")
    files = {
        "html.xml": html_xml(),
        "css.xml": css_xml(),
        "javascript.xml": javascript_xml(),
        "php-variables.xml": php_variables_xml(),
        "htmlentity.dat": htmlentity_dat(),
    }
    for name, text in files.items():
        (folder / name).write_bytes(text.encode("utf-8"))


if __name__ == "__main__":
    main()
