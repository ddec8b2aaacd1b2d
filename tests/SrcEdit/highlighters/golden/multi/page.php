<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE html>
<?php
// Shop page: PHP opens the file and stays open over lines
require_once 'config.inc';
$title = "Fish &amp; Chips";
/* a comment with a marker-like ?> inside ends PHP early */
?>
<html>
<head>
  <title><?= $title ?></title>
  <style type="text/css">
    body { color: black; background: #fff; }
    /* a style comment
       over lines */ h1, h2 .x { font-family: "Times", serif; }
  </style>
  <script language="JavaScript">
    function greet(name) { /* open
      comment */ return "Hi " + name; }
  </script>
</head>
<BODY style="margin: 0; color: red" onload="greet('x')">
<?php foreach ($items as $item) { ?>
  <p class="item" style="padding: 2px">Item &copy; <?php echo "$item->name"; ?></p>
<?php } ?>
<SCRIPT>var n = 1;</SCRIPT><?php echo 'same line'; ?>
<p title="a <? echo 'php in a value' ?> b">Grüße — 東京 &#8364;</p>
<?php $s = "a string
  over lines ?> back in HTML <i>text</i>
<?php
  echo "done";
