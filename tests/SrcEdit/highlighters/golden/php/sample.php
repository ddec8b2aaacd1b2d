<?php
# Settings for the page
define('LIMIT', 0x1F);   // hex number
$ratio = 1.5e-3 + .5;    /* a comment
   that runs over lines */ $range = 1..5;
abstract class Shop extends Base implements Countable
{
    private static $items = array();
    const VERSION = "2.1";

    public function Add($name, $price = 10)
    {
        $this->items[$name] = $price;
        echo "Added $name for {$this->items[$name]} at $obj->shop->name\n";
        print 'No $vars in "single" quotes';
        $msg = "He said \"hi\" and left\\";
        $x .= "${total} items, $list[0] first, $list['k'] keyed";
        return $x === null ? -1 : $x <<= 2;
    }
}
$text = "a string that
  runs over lines with $var inside
  and ends here";
$note = 'single
quoted too';
$s = <<<EOT
heredoc body is code: $a
EOT;
if ($a != $b && $c || !$d) { $i++; $j--; $k -= 2; $m ^= 1; }
$r = `ls -l` . @file('x') ?? null;
$uml = "café" . Straße;
/* unclosed at the end
