<?php
// PHP's own view of the declarations in PHP files, from token_get_all, for checking the IDE's
// scanner. "list FILE..." prints, per file, a line with the file's name and then one line per
// class-like or function declaration: kind, line and name (empty for an anonymous one), and
// an empty line. "time LISTFILE" loads the files named in LISTFILE (one per line) and, for each
// "run" read from standard input, tokenises them all and prints the nanoseconds it took.

const DECLARING = [T_CLASS => 'class', T_INTERFACE => 'class', T_TRAIT => 'class', T_FUNCTION => 'function'];
const NOT_AFTER = [T_DOUBLE_COLON, T_OBJECT_OPERATOR, T_NULLSAFE_OBJECT_OPERATOR, T_USE];
const SKIPPED = [T_WHITESPACE, T_COMMENT, T_DOC_COMMENT];

function kinds(): array
{
    $kinds = DECLARING;
    if (defined('T_ENUM'))
        $kinds[T_ENUM] = 'class';
    return $kinds;
}

function declarations(array $tokens): array
{
    $kinds = kinds();
    $found = [];
    $previous = null;
    $count = count($tokens);
    for ($i = 0; $i < $count; $i++) {
        $token = $tokens[$i];
        if (is_array($token) && in_array($token[0], SKIPPED, true))
            continue;
        if (is_array($token) && isset($kinds[$token[0]]) && !(is_array($previous) && in_array($previous[0], NOT_AFTER, true))) {
            $name = '';
            for ($j = $i + 1; $j < $count; $j++) {
                $next = $tokens[$j];
                $text = is_array($next) ? $next[1] : $next;
                if (is_array($next) && in_array($next[0], SKIPPED, true))
                    continue;
                if ($text === '&') {
                    $name .= '&';
                    continue;
                }
                if (preg_match('/^[A-Za-z_\x80-\xff][A-Za-z0-9_\x80-\xff]*$/', $text))
                    $name .= $text;
                break;
            }
            $found[] = [$kinds[$token[0]], $token[2], $name];
        }
        $previous = $token;
    }
    return $found;
}

if (($argv[1] ?? '') === 'list') {
    foreach (array_slice($argv, 2) as $file) {
        echo $file, "\n";
        foreach (declarations(token_get_all(file_get_contents($file))) as [$kind, $line, $name])
            echo $kind, ' ', $line, ' ', $name, "\n";
        echo "\n";
    }
} elseif (($argv[1] ?? '') === 'time') {
    $sources = [];
    foreach (file($argv[2], FILE_IGNORE_NEW_LINES | FILE_SKIP_EMPTY_LINES) as $file)
        $sources[] = file_get_contents($file);
    while (($command = fgets(STDIN)) !== false) {
        if (trim($command) !== 'run')
            continue;
        $start = hrtime(true);
        foreach ($sources as $source)
            $tokens = token_get_all($source);
        $elapsed = hrtime(true) - $start;
        echo $elapsed, "\n";
        flush();
    }
}
