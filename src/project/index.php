<?php
// The default document root of Zentu's internal server. Run this page with
// "Run in Internal Browser" to check that the PHP interpreter is set up.

$greeting = 'Hello from Zentu';
$method = $_SERVER['REQUEST_METHOD'] ?? 'GET';
$name = trim((string)($_REQUEST['name'] ?? ''));
?>
<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title><?php echo htmlspecialchars($greeting); ?></title>
<style>
  body { font-family: sans-serif; margin: 2em; color: #222; }
  table { border-collapse: collapse; }
  td, th { border: 1px solid #ccc; padding: 0.3em 0.8em; text-align: left; }
</style>
</head>
<body>
<h1><?php echo htmlspecialchars($greeting); ?></h1>

<?php if ($name !== ''): ?>
<p>Nice to meet you, <?php echo htmlspecialchars($name); ?>.</p>
<?php endif; ?>

<form method="post">
  <label>Your name: <input type="text" name="name"></label>
  <button type="submit">Send</button>
</form>

<h2>About this run</h2>
<table>
  <tr><th>PHP version</th><td><?php echo htmlspecialchars(PHP_VERSION); ?></td></tr>
  <tr><th>Request method</th><td><?php echo htmlspecialchars($method); ?></td></tr>
  <tr><th>Script</th><td><?php echo htmlspecialchars(basename(__FILE__)); ?></td></tr>
  <tr><th>Server time</th><td><?php echo date('Y-m-d H:i:s'); ?></td></tr>
</table>
</body>
</html>
