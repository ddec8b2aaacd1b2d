/* Java syntax highlighting */
import java.util.*;

/** Example class */
public class Sample {
  public static void main(String[] args) {
    int i = 0;
    for(i = 0; i < 10; i++)
      System.out.println("Hello world");
  }
}