// Syntax highlighting
function printNumber()
{
  var number = 1234;
  var x;
  document.write("The number is " + number);
  for (var i = 0; i <= number; i++)
  {
    x++;
    x--;
    x += 1.0;
  }
  i += @; // illegal character
}
body.onLoad = printNumber;