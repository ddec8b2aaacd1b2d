<html>
<body>
<?php if ($user) { ?>
  <p>Hello <b><?php echo htmlspecialchars($user['name']); ?></b>!</p>
<?php } else { ?>
  <a href="login.php?next=<?=urlencode($url)?>">Log in</a>
<?php } ?>
<!-- a comment with <?php echo 1; ?> inside
     and over lines -->
<table><tr><td><?php
  /* comment opens in PHP
     and closes */ $x = 1; ?></td></tr></table>
<script>if (a < b) alert("<?php echo $msg ?>");</script>
<?
  $short = 'open tag';
?>
</body>
</html>
