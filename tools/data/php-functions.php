<?php
// Writes data/php-functions.xml from the reflection of the PHP that runs this script: one group
// per loaded extension (its name in "c"), one element per function of the extension with its
// return type ("r"), name ("n"), parameter list ("p") and a short note ("d").
//
//   php tools/data/php-functions.php > src/data/php-functions.xml
//
// The completion pop-up splits a parameter list at its commas, groups text in double quotes and
// looks for the list's end at the first ")", so default values are written without those
// characters: strings in single quotes with such characters escaped.

function typeText(?ReflectionType $type): string
{
    return $type === null ? 'mixed' : str_replace(' ', '', (string)$type);
}

function stringText(string $s): string
{
    $out = '';
    foreach (str_split($s) as $c) {
        $code = ord($c);
        if ($c === "\n") $out .= '\n';
        elseif ($c === "\r") $out .= '\r';
        elseif ($c === "\t") $out .= '\t';
        elseif ($c === "\v") $out .= '\v';
        elseif ($c === "\0") $out .= '\0';
        elseif ($c === "'" || $c === '\\') $out .= '\\' . $c;
        elseif ($code < 32 || $code > 126 || strpos(',()"', $c) !== false) $out .= sprintf('\x%02X', $code);
        else $out .= $c;
    }
    return "'" . $out . "'";
}

function defaultText(ReflectionParameter $p): string
{
    if ($p->isDefaultValueConstant())
        return $p->getDefaultValueConstantName();
    $v = $p->getDefaultValue();
    if ($v === null) return 'null';
    if ($v === true) return 'true';
    if ($v === false) return 'false';
    if (is_array($v)) return $v === [] ? '[]' : '[...]';
    if (is_string($v)) return stringText($v);
    if (is_float($v)) return var_export($v, true);
    return (string)$v;
}

function parameterText(ReflectionParameter $p): string
{
    $text = $p->hasType() ? typeText($p->getType()) . ' ' : '';
    if ($p->isPassedByReference()) $text .= '&';
    if ($p->isVariadic()) $text .= '...';
    $text .= '$' . $p->getName();
    if ($p->isDefaultValueAvailable()) $text .= ' = ' . defaultText($p);
    elseif ($p->isOptional() && !$p->isVariadic()) $text .= ' = ?';
    return $text;
}

function attr(string $s): string
{
    return htmlspecialchars($s, ENT_QUOTES | ENT_XML1, 'UTF-8');
}

$extensions = get_loaded_extensions();
natcasesort($extensions);
echo '<?xml version="1.0" encoding="UTF-8"?>', "\n";
echo '<functions php="', attr(PHP_VERSION), '">', "\n";
foreach ($extensions as $name) {
    $functions = (new ReflectionExtension($name))->getFunctions();
    if (!$functions) continue;
    ksort($functions, SORT_STRING);
    echo '<group c="', attr($name), '">', "\n";
    foreach ($functions as $f) {
        $parameters = array_map('parameterText', $f->getParameters());
        $return = $f->hasReturnType() ? typeText($f->getReturnType())
                : ($f->hasTentativeReturnType() ? typeText($f->getTentativeReturnType()) : 'mixed');
        $note = $f->isDeprecated() ? 'Deprecated.' : '';
        echo '<function r="', attr($return), '" n="', attr($f->getName()), '" p="(',
             attr(implode(', ', $parameters)), ')" d="', attr($note), '"/>', "\n";
    }
    echo "</group>\n";
}
echo "</functions>\n";
